// Allocation for the runtimes built without exceptions (Windows, the page): memory that cannot be
// had is a failure like any other, shown through the one failure path. Nothing returns null or throws.
#include <cstdlib>
#include <new>

#include "window/failure.hpp"

void* operator new(std::size_t size) {
    if (void* memory = std::malloc(size ? size : 1)) return memory;
    quorbel::EndWithFailure(quorbel::kOutOfMemory);
}
void* operator new[](std::size_t size) { return operator new(size); }
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete[](void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }
void operator delete[](void* memory, std::size_t) noexcept { std::free(memory); }

// Keeps the statically linked C++ library small in Quorbel.exe.
//
// The library's out-of-line error paths (a string or vector asked to exceed its maximum size,
// memory exhausted) and its default terminate handler would link in the C++ name demangler,
// printf, every standard exception class and a second, copy-on-write string implementation:
// nearly two thirds of the program. None of those paths can be reached with the program's
// constant data, so here they end the program at once instead. Run-time errors do not pass this
// way: the runtime catches and shows them itself.
//
// These names are the library's own, not a public interface. Two ways this can break, both caught:
// - The link fails with a duplicate definition of one of them: the library now needs another
//   symbol from the object that defines these. Define that symbol here too, the same way, or
//   delete this file (the program stays correct, about 250 KB).
// - The library stops calling them: the image grows back to about 250 KB and the image test's size
//   budget fails. Find the new names in the link map (-Wl,-Map) and end them here likewise.
#include <cstdlib>

namespace std {
[[noreturn]] void __throw_bad_alloc() { std::abort(); }
[[noreturn]] void __throw_bad_array_new_length() { std::abort(); }
[[noreturn]] void __throw_length_error(const char*) { std::abort(); }
[[noreturn]] void __throw_logic_error(const char*) { std::abort(); }
[[noreturn]] void __throw_out_of_range(const char*) { std::abort(); }
[[noreturn]] void __throw_out_of_range_fmt(const char*, ...) { std::abort(); }
[[noreturn]] void __throw_invalid_argument(const char*) { std::abort(); }
}  // namespace std

namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx

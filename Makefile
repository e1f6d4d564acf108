# The front door: `make run` opens the window, `make test` builds everything and runs every test.
CMAKE_FLAGS ?=
DEV := build/dev

.PHONY: run test deps build clean screenshot windows sanitize fuzz bench

# Each goal installs only what it needs: `make run` the compiler, CMake, Ninja, Qt and fonts;
# `make test` everything its tests use.
deps:
	@tools/install-deps test

$(DEV)/build.ninja:
	@tools/install-deps run
	cmake -S . -B $(DEV) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_FLAGS)

# Configured again so that it finds the test libraries installed since `make run` made the tree.
build: deps
	cmake -S . -B $(DEV) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_FLAGS) >/dev/null
	cmake --build $(DEV)

# Only the program is built, not the tests and tools.
run: $(DEV)/build.ninja
	@tools/install-deps run
	cmake --build $(DEV) --target quorbel
	$(DEV)/quorbel

# Everything again built with clang's AddressSanitizer and UndefinedBehaviorSanitizer, with the
# fuzz target; the Windows programs are tested once, from the main tree.
SAN := build/sanitize
$(SAN)/build.ninja: | deps
	CC=clang CXX=clang++ cmake -S . -B $(SAN) -G Ninja -DCMAKE_BUILD_TYPE=Debug \
	  -DQUORBEL_SANITIZE=ON -DQUORBEL_FUZZ=ON -DQUORBEL_WINDOWS_TESTS=OFF

sanitize: deps $(SAN)/build.ninja
	cmake --build $(SAN)

test: build windows sanitize
	ctest --test-dir $(SAN) --output-on-failure -j2
	ctest --test-dir $(DEV) --output-on-failure -j2

# The fuzz target for five minutes, its findings kept in build/sanitize/fuzz-corpus.
fuzz: sanitize
	$(SAN)/tests/fuzz/house_selection_fuzzer -max_total_time=300 -max_len=512 \
	  $(SAN)/fuzz-corpus tests/fuzz/corpus

clean:
	rm -rf build

# The window as it first opens, rendered offscreen at 96 DPI, for the README.
screenshot: build
	QT_QPA_PLATFORM=offscreen $(DEV)/tests/quorbel_screenshot docs/window.png

# Quorbel.exe for Windows, cross-built with mingw-w64: build/win32 (the program) and build/win64
# (the same sources for x86_64). Both trees also build what the Wine tests run beside the program
# (quorbel_probe.exe, quorbel_failing.exe); Quorbel.exe itself is the same with or without them.
WIN_FLAGS := -G Ninja -DCMAKE_BUILD_TYPE=MinSizeRel -DQUORBEL_TESTS=OFF -DQUORBEL_PROBE=ON
windows:
	@tools/install-deps windows
	@grep -qs '^QUORBEL_PROBE:[A-Z]*=ON' build/win32/CMakeCache.txt || cmake -S . -B build/win32 $(WIN_FLAGS) -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw-i686.cmake
	cmake --build build/win32
	@grep -qs '^QUORBEL_PROBE:[A-Z]*=ON' build/win64/CMakeCache.txt || cmake -S . -B build/win64 $(WIN_FLAGS) -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw-x86_64.cmake
	cmake --build build/win64

# Benchmarks from a Release tree: prints a table and writes build/release/bench-results/results.json.
# BENCH_ARGS=--smoke runs each measurement only a few times (CI does, to keep them working).
REL := build/release
BENCH_ARGS ?=
$(REL)/build.ninja:
	@tools/install-deps run bench
	cmake -S . -B $(REL) -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUORBEL_BENCH=ON -DQUORBEL_TESTS=OFF

bench: windows $(REL)/build.ninja
	@tools/install-deps run bench
	cmake --build $(REL)
	/usr/bin/python3 bench/run.py $(REL) build/win32/Quorbel.exe $(BENCH_ARGS)

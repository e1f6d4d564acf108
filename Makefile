# The front door: `make run` opens the window, `make test` builds everything and runs every test.
CMAKE_FLAGS ?=
DEV := build/dev

.PHONY: run test deps build clean screenshot windows

deps:
	@tools/install-deps

$(DEV)/build.ninja: | deps
	cmake -S . -B $(DEV) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_FLAGS)

build: deps $(DEV)/build.ninja
	cmake --build $(DEV)

run: build
	@if [ -x $(DEV)/quorbel ]; then $(DEV)/quorbel; else echo "The window is not built yet."; fi

test: build windows
	ctest --test-dir $(DEV) --output-on-failure -j2

clean:
	rm -rf build

# The window as it first opens, rendered offscreen at 96 DPI, for the README.
screenshot: build
	QT_QPA_PLATFORM=offscreen $(DEV)/tests/quorbel_screenshot docs/window.png

# Quorbel.exe for Windows, cross-built with mingw-w64: build/win32 (the program) and build/win64
# (the same sources, run under Wine by the tests, with the probe beside it).
WIN_FLAGS := -G Ninja -DCMAKE_BUILD_TYPE=MinSizeRel -DQUORBEL_TESTS=OFF
windows: deps
	@[ -f build/win32/build.ninja ] || cmake -S . -B build/win32 $(WIN_FLAGS) -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw-i686.cmake
	cmake --build build/win32
	@[ -f build/win64/build.ninja ] || cmake -S . -B build/win64 $(WIN_FLAGS) -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw-x86_64.cmake -DQUORBEL_PROBE=ON
	cmake --build build/win64

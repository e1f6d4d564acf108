# The front door: `make run` opens the window, `make test` builds everything and runs every test.
CMAKE_FLAGS ?=
DEV := build/dev

.PHONY: run test deps build clean screenshot

deps:
	@tools/install-deps

$(DEV)/build.ninja: | deps
	cmake -S . -B $(DEV) -G Ninja -DCMAKE_BUILD_TYPE=Debug $(CMAKE_FLAGS)

build: deps $(DEV)/build.ninja
	cmake --build $(DEV)

run: build
	@if [ -x $(DEV)/quorbel ]; then $(DEV)/quorbel; else echo "The window is not built yet."; fi

test: build
	ctest --test-dir $(DEV) --output-on-failure -j2

clean:
	rm -rf build

# The window as it first opens, rendered offscreen at 96 DPI, for the README.
screenshot: build
	QT_QPA_PLATFORM=offscreen $(DEV)/tests/quorbel_screenshot docs/window.png

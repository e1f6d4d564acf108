# The front door: `make run` opens the window, `make test` builds everything and runs every test.
CMAKE_FLAGS ?=
DEV := build/dev

.PHONY: run test deps build clean screenshot windows web web-tests sanitize fuzz bench dist reprotest fresh-check fresh-test

# Each goal installs only what it needs: `make run` the compiler, CMake, Ninja, Qt and fonts;
# `make test` everything its tests use.
deps:
	@tools/install-deps test

# `make run` makes the tree without the tests, which need more than it installs, whatever else the
# machine has (GoogleTest found would otherwise bring them in).
$(DEV)/build.ninja:
	@tools/install-deps run
	cmake -S . -B $(DEV) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUORBEL_TESTS=OFF $(CMAKE_FLAGS)

# Configured again, with the tests, which need the libraries installed since `make run` made the tree.
build: deps
	cmake -S . -B $(DEV) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUORBEL_TESTS=ON $(CMAKE_FLAGS) >/dev/null
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
	  -DQUORBEL_SANITIZE=ON -DQUORBEL_FUZZ=ON -DQUORBEL_WINDOWS_TESTS=OFF -DQUORBEL_WEB_TESTS=OFF

sanitize: deps $(SAN)/build.ninja
	cmake --build $(SAN)

test: build windows web-tests dist sanitize
	ctest --test-dir $(SAN) --output-on-failure -j2
	ctest --test-dir $(DEV) --output-on-failure -j2

# The fuzz target for five minutes, its findings kept in build/sanitize/fuzz-corpus.
fuzz: sanitize
	$(SAN)/tests/fuzz/house_selection_fuzzer -max_total_time=300 -max_len=512 \
	  $(SAN)/fuzz-corpus tests/fuzz/corpus

clean:
	rm -rf build

# The window as it first opens, rendered offscreen at 96 DPI, and the page in Chromium, for the README.
screenshot: build web
	QT_QPA_PLATFORM=offscreen $(DEV)/tests/quorbel_screenshot docs/window.png
	node tests/web/screenshot.mjs docs/page.png

# Quorbel.exe for Windows, cross-built with mingw-w64: build/win32 (the program) and build/win64
# (the same sources for x86_64). Both trees also build what the Wine tests run (quorbel_wine_tests.exe,
# quorbel_failing.exe); Quorbel.exe itself is the same with or without them.
WIN_FLAGS := -G Ninja -DCMAKE_BUILD_TYPE=MinSizeRel -DQUORBEL_TESTS=OFF -DQUORBEL_WINE_TESTS=ON
windows:
	@tools/install-deps windows
	@grep -qs '^QUORBEL_WINE_TESTS:[A-Z]*=ON' build/win32/CMakeCache.txt || cmake -S . -B build/win32 $(WIN_FLAGS) -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw-i686.cmake
	cmake --build build/win32
	@grep -qs '^QUORBEL_WINE_TESTS:[A-Z]*=ON' build/win64/CMakeCache.txt || cmake -S . -B build/win64 $(WIN_FLAGS) -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw-x86_64.cmake
	cmake --build build/win64

# The page: build/web/quorbel.html, one self-contained file that a browser opens from disk, and
# build/web/app/, the same page as an installable web app that works offline, for any static web
# host. Built with Debian's Emscripten, whose JavaScript tools find their modules through NODE_PATH.
WEB := build/web
EMENV := NODE_PATH=/usr/share/nodejs
WEB_FLAGS := -G Ninja -DCMAKE_BUILD_TYPE=MinSizeRel -DQUORBEL_WINDOWS_TESTS=OFF -DQUORBEL_WEB_TESTS=OFF
web:
	@tools/install-deps web
	@[ -f $(WEB)/build.ninja ] || $(EMENV) emcmake cmake -S . -B $(WEB) $(WEB_FLAGS)
	$(EMENV) cmake --build $(WEB) --target quorbel_page quorbel_web_app

# The rest of the web tree for the tests: the core's tests as WebAssembly and the test page,
# configured again so that it finds GoogleTest's sources installed since `make web` made the tree.
web-tests: deps web
	@$(EMENV) emcmake cmake -S . -B $(WEB) $(WEB_FLAGS) >/dev/null
	$(EMENV) cmake --build $(WEB)

# Benchmarks from a Release tree: prints a table and writes build/release/bench-results/results.json.
# The start-up figures are taken on an X server of their own (Xvfb, 96 DPI), the Windows program's
# under 32-bit Wine. BENCH_ARGS=--smoke runs each measurement only a few times (CI does, to keep
# them working).
REL := build/release
BENCH_ARGS ?=
$(REL)/build.ninja:
	@tools/install-deps run bench wine
	cmake -S . -B $(REL) -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUORBEL_BENCH=ON -DQUORBEL_TESTS=OFF

bench: windows web $(REL)/build.ninja
	@tools/install-deps run bench wine
	cmake --build $(REL)
	xvfb-run -a -s "-screen 0 1024x768x24 -dpi 96" /usr/bin/python3 bench/run.py $(REL) build/win32/Quorbel.exe build/win64/Quorbel.exe $(BENCH_ARGS)
	@tools/install-deps browser
	node bench/web_bench.mjs $(WEB) $(BENCH_ARGS)

# The release in build/dist: the Debian package, made by CPack in a Release tree of its own, each
# file of DIST_FILES (goal:file, the goal making the file), the Windows installer and SHA256SUMS
# for them all. The same commit gives the same bytes: the tree is configured again each time, to
# take the commit's time (or SOURCE_DATE_EPOCH's) for every date and package member, and CPack packs
# under a fixed umask.
DIST := build/dist
DIST_TREE := build/dist-tree
DIST_FILES := windows:build/win32/Quorbel.exe web:build/web/quorbel.html
# The Windows installer, quorbel-VERSION.msi, is made from the release's Quorbel.exe. Given a
# certificate and its key (QUORBEL_SIGN_CERT, QUORBEL_SIGN_KEY, and the optional settings that
# tools/sign-windows lists, from the environment or as make options), Quorbel.exe is signed before
# it goes into the installer, and the installer after; the unsigned build stays the same bytes.
SIGNING = $(QUORBEL_SIGN_CERT)$(QUORBEL_SIGN_KEY)
export QUORBEL_SIGN_CERT QUORBEL_SIGN_KEY QUORBEL_SIGN_KEY_PASSWORD_FILE QUORBEL_SIGN_TIMESTAMP QUORBEL_SIGN_CA QUORBEL_SIGN_TSA_CA

dist: $(foreach f,$(DIST_FILES),$(firstword $(subst :, ,$(f))))
	@tools/install-deps run dist
	cmake -S . -B $(DIST_TREE) -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUORBEL_TESTS=OFF >/dev/null
	cmake --build $(DIST_TREE)
	cd $(DIST_TREE) && umask 022 && cpack -G DEB >/dev/null
	rm -rf $(DIST) && mkdir -p $(DIST)
	version=$$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' $(DIST_TREE)/CMakeCache.txt) && \
	  cp $(DIST_TREE)/quorbel_$${version}_amd64.deb $(DIST)/
	cp $(foreach f,$(DIST_FILES),$(lastword $(subst :, ,$(f)))) $(DIST)/
	$(if $(SIGNING),tools/sign-windows $(DIST)/Quorbel.exe)
	version=$$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' $(DIST_TREE)/CMakeCache.txt) && \
	  tools/make-msi $(DIST)/Quorbel.exe $$version x86 $(DIST)/quorbel-$$version.msi
	$(if $(SIGNING),tools/sign-windows $(DIST)/quorbel-*.msi,@echo "dist: Quorbel.exe and the MSI are unsigned (no QUORBEL_SIGN_CERT and QUORBEL_SIGN_KEY given)")
	cd $(DIST) && export LC_ALL=C && sha256sum -- * >SHA256SUMS
	@ls -l $(DIST)

# The release of the last commit built twice, in two fresh clones with the path, time zone, locale,
# umask, user name and number of build jobs changed, and every file compared. Not part of make
# test: it builds everything twice more.
reprotest:
	@tools/install-deps reprotest
	tests/dist/reprotest

# The two commands as a new user runs them: in a minimal Debian 12 made by debootstrap, with git and
# make added and this working tree cloned in, as root and with no display (tools/fresh-system).
# fresh-check: `make run` reaches the program's own line, on the bare system and with a C++
# developer's usual packages already there. fresh-test: `make test` passes; it takes long and is not
# part of CI.
fresh-check:
	tools/fresh-system check

fresh-test:
	tools/fresh-system test

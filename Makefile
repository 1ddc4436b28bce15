# The one front door: `make test` on a fresh machine installs what is missing,
# configures, builds and runs every test: the Linux suite, the binary interface once more
# with the host functions in shuffled slots, the same tests against the 64-bit and the
# 32-bit Windows DLL under Wine, the reliability stages (every test under ASan+UBSan, the
# fuzz targets, the race test under TSan, valgrind over the integration tests), the
# reproducibility of the release, the plugin built alone and the page. CI runs exactly
# that. `make demo` shows what the effects do; `make release` writes the archives to dist/.
#
# Each target installs only the Debian packages it needs; every list is written once here.
# The plugin library alone needs CMake and a C++ compiler.
CORE_PACKAGES := cmake g++ make
# The Linux build: the plugin, wacky-render (libsndfile), wacky-live (libpipewire, found
# through pkg-config), the wacky-throats window (Qt 6 Widgets) and the tests (GoogleTest;
# binutils reads the built library's tables).
LINUX_PACKAGES := $(CORE_PACKAGES) libgtest-dev libsndfile1-dev binutils libpipewire-0.3-dev \
                  pkg-config qt6-base-dev
# wacky-live's and the window's tests and benchmarks run a private PipeWire server: the
# daemon and its clients (pw-play, pw-record, pw-link, pw-dump, pw-cli), and the session
# manager; the window's desktop files are checked by Debian's validators.
LIVE_PACKAGES := pipewire pipewire-bin wireplumber desktop-file-utils appstream
DEMO_PACKAGES := $(LINUX_PACKAGES) sox
# Windows: the MinGW-w64 cross compilers (posix threads), GoogleTest's sources to build
# with them, and Wine to run the tests: 64-bit, and 32-bit from the i386 architecture
# (scripts/install-deps.sh adds it). Where the kernel runs no 32-bit program itself,
# scripts/run-32-bit.sh runs them through QEMU's user-mode emulator.
WINDOWS_PACKAGES := $(CORE_PACKAGES) g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 \
                    mingw-w64-x86-64-dev googletest wine wine64
WINDOWS_X86_PACKAGES := $(CORE_PACKAGES) g++-mingw-w64-i686-posix binutils-mingw-w64-i686 \
                        mingw-w64-i686-dev googletest wine wine32:i386
I386_EMULATOR_PACKAGES := qemu-user-static
# Reliability: clang with its sanitizer and libFuzzer runtimes, LLVM's symbolizer for
# readable reports, valgrind; on top of the Linux build.
RELIABILITY_PACKAGES := $(LINUX_PACKAGES) clang-14 libclang-rt-14-dev llvm-14 valgrind
# The benchmarks: Google Benchmark and FFTW (for them only), found through pkg-config.
BENCH_PACKAGES := $(LINUX_PACKAGES) libbenchmark-dev libfftw3-dev pkg-config
# The page: Debian's Emscripten for the modules and node, which runs build steps; its tests
# add the two browsers they drive (npm comes with node).
WEB_BUILD_PACKAGES := emscripten nodejs
WEB_TEST_PACKAGES := $(WEB_BUILD_PACKAGES) chromium firefox-esr
# The Debian package: Debian's build tools over debian/, the build dependencies debian/control
# names (the desktop app's Qt among them), and the checkers its test runs (lintian, the
# desktop-file and AppStream validators, man, systemd's unit check).
DEB_PACKAGES := $(CORE_PACKAGES) debhelper dpkg-dev fakeroot libsndfile1-dev \
                libpipewire-0.3-dev pkg-config qt6-base-dev lintian desktop-file-utils appstream \
                man-db systemd
# The release: the Linux build without its tests (wacky-render and wacky-live), the Debian
# package's tools, both cross compilers, Emscripten, the archivers.
RELEASE_PACKAGES := $(DEB_PACKAGES) binutils g++-mingw-w64-x86-64-posix \
                    binutils-mingw-w64-x86-64 mingw-w64-x86-64-dev g++-mingw-w64-i686-posix \
                    binutils-mingw-w64-i686 mingw-w64-i686-dev emscripten zip unzip
JOBS ?= $(shell nproc)

.PHONY: all build build-windows build-windows-x86 test check-format test-linux \
        test-abi-shuffled test-windows test-windows-x86 demo bench clean build-asan build-tsan \
        test-reliability test-asan test-fuzz test-race test-memcheck release test-release test-lean \
        deps-linux deps-windows deps-windows-x86 deps-reliability deps-release \
        build-web web test-web bench-native bench-web bench-live bench-desktop deb test-deb \
        deps-deb

all: build build-windows build-windows-x86

deps-linux:
	@scripts/install-deps.sh $(LINUX_PACKAGES)

deps-windows:
	@scripts/install-deps.sh $(WINDOWS_PACKAGES)

deps-windows-x86:
	@scripts/install-deps.sh $(WINDOWS_X86_PACKAGES)
	@scripts/run-32-bit.sh --ensure $(I386_EMULATOR_PACKAGES)

deps-reliability:
	@scripts/install-deps.sh $(RELIABILITY_PACKAGES)

deps-release:
	@scripts/install-deps.sh $(RELEASE_PACKAGES)

deps-deb:
	@scripts/install-deps.sh $(DEB_PACKAGES)

build: deps-linux
	cmake --preset default
	cmake --build --preset default -j $(JOBS)

build-windows: deps-windows
	cmake --preset windows
	cmake --build --preset windows -j $(JOBS)

build-windows-x86: deps-windows-x86
	cmake --preset windows-x86
	cmake --build --preset windows-x86 -j $(JOBS)

# Every stage `make test` runs, each named once, here and nowhere else.
test: check-format test-linux test-abi-shuffled test-windows test-windows-x86 test-asan \
      test-fuzz test-race test-memcheck test-release test-lean test-deb test-web

# Every C and C++ source as the committed .clang-format has it (clang-format 14, dry run).
check-format:
	@scripts/install-deps.sh clang-format-14 git
	scripts/check-format.sh

test-linux: build
	@scripts/install-deps.sh $(LIVE_PACKAGES)
	ctest --preset default -j $(JOBS)

# The plugin and the test host built once more, small (no tool, only the suites that drive
# the library through its table), with every host function in another slot: the suites
# still pass only if host/host_function_list.h alone places the functions.
test-abi-shuffled: deps-linux
	cmake --preset abi-shuffled
	cmake --build --preset abi-shuffled -j $(JOBS)
	ctest --preset abi-shuffled -j $(JOBS)

# Each Windows stage ends the Wine server its programs kept up (cmake/wine-run.sh), pass
# or fail.
test-windows: build-windows
	ctest --preset windows -j $(JOBS); status=$$?; \
	    cmake/wine-run.sh x64 build/windows/wine --stop; exit $$status

# Under QEMU's emulator a 32-bit Wine program now and then dies of the emulation itself (a
# segmentation fault in QEMU, a different program each run, which passes when run again);
# there a failed program runs up to three times. An assertion that fails every time still
# fails the stage, and the 64-bit and native stages run every test once.
# Some machines' kernels run no 32-bit code, and there QEMU's emulator may not host 32-bit
# Wine at all (seen with QEMU 7.2: "failed to map the shared user data", every program).
# Where one test program cannot even list its tests under the emulator, the stage says so
# and is skipped; where 32-bit programs run natively it always runs.
WIN32_PROBE := build/windows-x86/tests/plugin/plugin_tests.exe
test-windows-x86: build-windows-x86
	@if scripts/run-32-bit.sh --emulated && ! cmake/wine-run.sh x86 build/windows-x86/wine \
	        $(WIN32_PROBE) --gtest_list_tests >/dev/null 2>&1; then \
	    cmake/wine-run.sh x86 build/windows-x86/wine --stop; \
	    echo "test-windows-x86: SKIPPED: 32-bit Wine does not start under this machine's" \
	         "emulator (its kernel runs no 32-bit code); the 32-bit DLL is built, not tested"; \
	    exit 0; \
	fi; \
	ctest --preset windows-x86 -j $(JOBS) \
	    $$(scripts/run-32-bit.sh --emulated && echo --repeat until-pass:3); status=$$?; \
	    cmake/wine-run.sh x86 build/windows-x86/wine --stop; exit $$status

# The reliability stages alone. Each fuzz target runs for WT_FUZZ_SECONDS
# (fuzz/CMakeLists.txt).
test-reliability: test-asan test-fuzz test-race test-memcheck

build-asan: deps-reliability
	cmake --preset asan
	cmake --build --preset asan -j $(JOBS)

build-tsan: deps-reliability
	cmake --preset tsan
	cmake --build --preset tsan -j $(JOBS)

test-asan: build-asan
	ctest --preset asan -j $(JOBS)

test-fuzz: build-asan
	ctest --preset fuzz -j $(JOBS)

test-race: build-tsan
	ctest --preset race

test-memcheck: build deps-reliability
	ctest --preset memcheck -j $(JOBS)

# The archives and SHA256SUMS in dist/, checked against the expected contents.
release: deps-release
	tools/release/make-release.sh dist

# Two releases from copies of the tree in two folders, minutes apart, compared byte
# for byte.
test-release: deps-release
	tests/release/reproducible.sh build/reproducible

# The Debian package, build/deb/wacky-throats_<version>-1_<arch>.deb.
deb: deps-deb
	tools/release/build-deb.sh build/deb

# The package checked by Debian's tools and run unpacked, against the Linux build's
# wacky-render. Its byte-for-byte reproducibility is test-release's: the package is part of
# the release.
test-deb: build deps-deb
	deb=$$(tools/release/build-deb.sh build/deb | tail -1) && \
	    tests/deb/check-deb.sh "$$deb" build/default

# The plugin configured and built with every optional part off, the optional packages
# hidden from CMake: it needs nothing but CMake and the compiler.
test-lean:
	@scripts/install-deps.sh $(CORE_PACKAGES)
	tests/lean/lean-build.sh build/lean

# Renders the bundled voice through every effect into out/: WAVs, before/after
# spectrograms and a table of levels. STRENGTH picks the strength (default 0.25).
demo:
	@scripts/install-deps.sh $(DEMO_PACKAGES)
	cmake --preset default
	cmake --build --preset default -j $(JOBS) --target wacky-render
	scripts/demo.sh build/default/wacky-render out $(STRENGTH)

# Every benchmark: the native voice path against FFTW, the modules' block step against it,
# and wacky-live and the wacky-throats window against a private PipeWire server.
bench: bench-native bench-web bench-live bench-desktop

# Medians of repeated, interleaved runs; ends with the summary of ratios to FFTW.
bench-native:
	@scripts/install-deps.sh $(BENCH_PACKAGES)
	cmake --preset bench
	cmake --build --preset bench -j $(JOBS)
	build/bench/bench/wt_bench

clean:
	rm -rf build out dist

# ---- The plugin in the browser ----------------------------------------------------------
# The same sources built by Debian's Emscripten into two WebAssembly modules, with the page
# of web/, into build/web/ (the site, nothing else; CMake's own files stay in build/wasm).
# The tests drive the module under node and the page in Debian's Chromium and Firefox ESR
# through puppeteer-core from npm, pinned in tests/web/package-lock.json; nothing downloads a
# browser.
WEB_PORT ?= 8048
WEB_NPM_STAMP := tests/web/node_modules/.package-lock.json

build-web:
	@scripts/install-deps.sh $(WEB_BUILD_PACKAGES)
	cmake --preset web
	cmake --build --preset web -j $(JOBS)

# Serves build/web on 127.0.0.1 and prints the address; Ctrl+C stops it.
web: build-web
	node tools/web/serve.mjs build/web $(WEB_PORT)

$(WEB_NPM_STAMP): tests/web/package.json tests/web/package-lock.json
	@scripts/install-deps.sh nodejs
	cd tests/web && PUPPETEER_SKIP_DOWNLOAD=1 npm ci --no-audit --no-fund

# The module is compared with the native build's wacky-render, so that is built first. The
# configuration runs again once the browsers are there, so that it finds them.
test-web: build build-web $(WEB_NPM_STAMP)
	@scripts/install-deps.sh $(WEB_TEST_PACKAGES)
	cmake --preset web
	ctest --preset web

# The modules' block step under node against the native one (SSE2 and the best set),
# which wt_bench of the bench preset times.
bench-web: build-web
	@scripts/install-deps.sh $(BENCH_PACKAGES)
	cmake --preset bench
	cmake --build --preset bench -j $(JOBS)
	node bench/web/block_call.mjs build/web build/bench/bench/wt_bench

# wacky-live against a private PipeWire server: dropped cycles, the audio callback's and
# the whole process's time per second of audio; 60 s at a cycle of 64 frames, then 5
# minutes at the default cycle with both cores kept busy by two spinning processes.
bench-live: build
	@scripts/install-deps.sh $(LIVE_PACKAGES)
	bench/live/live-bench.sh build/default build/bench-live 60 64
	LOAD=2 bench/live/live-bench.sh build/default build/bench-live 300 256

# The wacky-throats window for 60 s on a screenless X server (Xvfb) against a private
# PipeWire server, meters moving: launch to window with microphone, the window's CPU
# beyond the data cycle's, resident memory.
DESKTOP_BENCH_PACKAGES := $(LIVE_PACKAGES) xvfb
bench-desktop: build
	@scripts/install-deps.sh $(DESKTOP_BENCH_PACKAGES)
	bench/desktop/desktop-bench.sh build/default build/bench-desktop 60

# The one front door: `make test` on a fresh machine installs what is missing,
# configures, builds and runs every test: the Linux suite, then the same tests against
# the Windows DLL under Wine, then the reliability stages (every test under ASan+UBSan,
# the fuzz targets, the race test under TSan, valgrind over the integration tests). CI
# runs exactly that. `make demo` shows what the effects do.
PACKAGES := cmake g++ make pkg-config libgtest-dev libgmock-dev libbenchmark-dev binutils \
            libsndfile1-dev
# The demo needs the Linux build and SoX, not the Windows tool chain (":=" takes the list
# as it stands here, before the Windows packages are added).
DEMO_PACKAGES := $(PACKAGES) sox
# Windows: the 64-bit MinGW-w64 cross compiler (posix threads), GoogleTest's sources to
# build with it, and 64-bit Wine to run the tests.
PACKAGES += g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 mingw-w64-x86-64-dev \
            googletest wine wine64
# Reliability: clang with its sanitizer and libFuzzer runtimes, LLVM's symbolizer for
# readable reports, valgrind.
PACKAGES += clang-14 libclang-rt-14-dev llvm-14 valgrind
# The benchmarks (not part of `make test`): Google Benchmark and FFTW, FFTW for them only.
BENCH_PACKAGES := cmake g++ make pkg-config libgtest-dev libgmock-dev libbenchmark-dev \
                  binutils libfftw3-dev
JOBS ?= $(shell nproc)

.PHONY: all deps build build-windows test check-format test-linux test-windows demo bench clean \
        build-asan build-tsan test-reliability test-asan test-fuzz test-race test-memcheck

all: build build-windows

deps:
	@scripts/install-deps.sh $(PACKAGES)

build: deps
	cmake --preset default
	cmake --build --preset default -j $(JOBS)

build-windows: deps
	cmake --preset windows
	cmake --build --preset windows -j $(JOBS)

test: check-format test-linux test-windows test-reliability

# Every C and C++ source as the committed .clang-format has it (clang-format 14, dry run).
check-format:
	@scripts/install-deps.sh clang-format-14 git
	scripts/check-format.sh

test-linux: build
	ctest --preset default -j $(JOBS)

test-windows: build-windows
	ctest --preset windows -j $(JOBS)

# Each fuzz target runs for WT_FUZZ_SECONDS (fuzz/CMakeLists.txt).
test-reliability: test-asan test-fuzz test-race test-memcheck

build-asan: deps
	cmake --preset asan
	cmake --build --preset asan -j $(JOBS)

build-tsan: deps
	cmake --preset tsan
	cmake --build --preset tsan -j $(JOBS)

test-asan: build-asan
	ctest --preset asan -j $(JOBS)

test-fuzz: build-asan
	ctest --preset fuzz -j $(JOBS)

test-race: build-tsan
	ctest --preset race

test-memcheck: build
	ctest --preset memcheck -j $(JOBS)

# Renders the bundled voice through every effect into out/: WAVs, before/after
# spectrograms and a table of levels. STRENGTH picks the strength (default 0.25).
demo:
	@scripts/install-deps.sh $(DEMO_PACKAGES)
	cmake --preset default
	cmake --build --preset default -j $(JOBS) --target wacky-render
	scripts/demo.sh build/default/wacky-render out $(STRENGTH)

# Medians of repeated, interleaved runs; ends with the summary of ratios to FFTW.
bench:
	@scripts/install-deps.sh $(BENCH_PACKAGES)
	cmake --preset bench
	cmake --build --preset bench -j $(JOBS)
	build/bench/bench/wt_bench

clean:
	rm -rf build out

# ---- The plugin in the browser ----------------------------------------------------------
# The same sources built by Debian's Emscripten into two WebAssembly modules, with the page
# of web/, into build/web/ (the site, nothing else; CMake's own files stay in build/wasm).
# The tests drive the module under node and the page in Debian's Chromium through
# puppeteer-core from npm, pinned in tests/web/package-lock.json; nothing downloads a
# browser. node and npm come with the nodejs package.
WEB_PACKAGES := emscripten chromium nodejs
WEB_PORT ?= 8048
WEB_NPM_STAMP := tests/web/node_modules/.package-lock.json

.PHONY: build-web web test-web bench-web

build-web:
	@scripts/install-deps.sh $(WEB_PACKAGES)
	cmake --preset web
	cmake --build --preset web -j $(JOBS)

# Serves build/web on 127.0.0.1 and prints the address; Ctrl+C stops it.
web: build-web
	node tools/web/serve.mjs build/web $(WEB_PORT)

$(WEB_NPM_STAMP): tests/web/package.json tests/web/package-lock.json
	@scripts/install-deps.sh nodejs
	cd tests/web && PUPPETEER_SKIP_DOWNLOAD=1 npm ci --no-audit --no-fund

# The module is compared with the native build's wacky-render, so that is built first.
test-web: build build-web $(WEB_NPM_STAMP)
	ctest --preset web

test: test-web

# The modules' block step under node against the native one (SSE2 and the best set),
# which wt_bench of the bench preset times.
bench-web: build-web
	@scripts/install-deps.sh $(BENCH_PACKAGES)
	cmake --preset bench
	cmake --build --preset bench -j $(JOBS)
	node bench/web/block_call.mjs build/web build/bench/bench/wt_bench

bench: bench-web

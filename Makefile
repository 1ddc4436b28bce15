# The one front door: `make test` on a fresh machine installs what is missing,
# configures, builds and runs every test: the Linux suite, then the same tests against
# the Windows DLL under Wine. CI runs exactly that.
PACKAGES := cmake g++ make pkg-config libgtest-dev libgmock-dev libbenchmark-dev binutils
# Windows: the 64-bit MinGW-w64 cross compiler (posix threads), GoogleTest's sources to
# build with it, and 64-bit Wine to run the tests.
PACKAGES += g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 mingw-w64-x86-64-dev \
            googletest wine wine64
JOBS ?= $(shell nproc)

.PHONY: all deps build build-windows test test-linux test-windows clean

all: build build-windows

deps:
	@scripts/install-deps.sh $(PACKAGES)

build: deps
	cmake --preset default
	cmake --build --preset default -j $(JOBS)

build-windows: deps
	cmake --preset windows
	cmake --build --preset windows -j $(JOBS)

test: test-linux test-windows

test-linux: build
	ctest --preset default -j $(JOBS)

test-windows: build-windows
	ctest --preset windows -j $(JOBS)

clean:
	rm -rf build out

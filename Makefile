# The one front door: `make test` on a fresh machine installs what is missing,
# configures, builds and runs every test. CI runs exactly that.
PACKAGES := cmake g++ make pkg-config libgtest-dev libgmock-dev libbenchmark-dev binutils
JOBS ?= $(shell nproc)

.PHONY: all deps build test clean

all: build

deps:
	@scripts/install-deps.sh $(PACKAGES)

build: deps
	cmake --preset default
	cmake --build --preset default -j $(JOBS)

test: build
	ctest --preset default -j $(JOBS)

clean:
	rm -rf build out

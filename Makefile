# Corvane: build and test a 32-bit Windows program on Debian with MinGW-w64 and Wine.
BUILD_DIR ?= build
CMAKE_FLAGS ?=

.PHONY: all setup configure build test clean

all: build

setup:
	@scripts/setup.sh

configure: setup
	@cmake -S . -B $(BUILD_DIR) --no-warn-unused-cli -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD_DIR) -j 2 -- --no-print-directory

test: build
	@scripts/test.sh $(BUILD_DIR)

clean:
	rm -rf $(BUILD_DIR)

# Benchmarks: every executable the build puts in bench/, run under Wine.
.PHONY: bench
bench: build
	@scripts/bench.sh $(BUILD_DIR)

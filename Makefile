# Corvane: build and test a 32-bit Windows program on Debian with MinGW-w64 and Wine.
BUILD_DIR ?= build
CMAKE_FLAGS ?=
# The second compiler's build (scripts/check.sh).
CLANG_DIR ?= $(BUILD_DIR)-clang

.PHONY: all setup configure build test check dist clean

all: build

setup:
	@scripts/setup.sh

configure: setup
	@cmake -S . -B $(BUILD_DIR) --no-warn-unused-cli -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD_DIR) -j 2 -- --no-print-directory

# The suites under Wine, then the quick static checks: the program built with
# clang too, and cppcheck.
test: build
	@scripts/test.sh $(BUILD_DIR)
	@scripts/check.sh static $(CLANG_DIR)

# What `make test` leaves out for time: every suite built with clang and run
# under Wine, and the release archive rebuilt from scratch and compared.
check: build
	@scripts/check.sh full $(CLANG_DIR) $(BUILD_DIR)

# The release archive $(BUILD_DIR)/dist/corvane-<version>-win32.zip.
dist: setup
	@scripts/dist.sh $(BUILD_DIR)

clean:
	rm -rf $(BUILD_DIR)

# Benchmarks: every executable the build puts in bench/, run under Wine.
.PHONY: bench
bench: build
	@scripts/bench.sh $(BUILD_DIR)

# The program over the stand-in taskbar with sample windows: on your display,
# or with none on a virtual one, where it saves a screenshot. Builds only the
# programs it starts.
.PHONY: run
run: configure
	@cmake --build $(BUILD_DIR) -j 2 --target corvane corvane_standin corvane_standin_taskbarlist corvane_samples -- --no-print-directory
	@scripts/run.sh $(BUILD_DIR)

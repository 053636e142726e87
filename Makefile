# Corvane: build and test a Windows program on Debian with MinGW-w64 and Wine,
# for 32-bit Windows (the program we ship) and for 64-bit Windows (the build
# that runs under 64-bit Wine, also where the kernel cannot start 32-bit
# programs).
BUILD_DIR ?= build
BUILD64_DIR ?= $(BUILD_DIR)-x64
CMAKE_FLAGS ?=
# The second compiler's builds (scripts/check.sh).
CLANG_DIR ?= $(BUILD_DIR)-clang
CLANG64_DIR ?= $(BUILD_DIR)-clang-x64

# The build whose programs this machine runs: the 32-bit one where it can,
# else the 64-bit one (a shell snippet for the recipes).
RUNNABLE_DIR = $$(scripts/runnable.sh $(BUILD_DIR) && echo $(BUILD_DIR) || echo $(BUILD64_DIR))

.PHONY: all setup configure build test check dist clean

all: build

setup:
	@scripts/setup.sh

configure: setup
	@cmake -S . -B $(BUILD_DIR) --no-warn-unused-cli -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake $(CMAKE_FLAGS) >/dev/null
	@cmake -S . -B $(BUILD64_DIR) --no-warn-unused-cli -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD_DIR) -j 2 -- --no-print-directory
	@cmake --build $(BUILD64_DIR) -j 2 -- --no-print-directory

# The floor check of both programs the tests start (each imports only what
# the oldest Windows of its archive has), the suites under 64-bit Wine and,
# where this machine runs it, under 32-bit Wine, side by side (each build has
# a prefix and a display of its own), then the quick static checks: the
# program built with clang too, and cppcheck.
test: build
	@scripts/floor-check.sh $(BUILD_DIR)/corvane.exe $(BUILD64_DIR)/corvane.exe
	@scripts/test-builds.sh $(BUILD64_DIR) $(BUILD_DIR)
	@scripts/check.sh static $(CLANG_DIR)

# What `make test` leaves out for time: every suite built with clang for
# 64-bit Windows and run under Wine, and the release archives rebuilt from
# scratch and compared.
check: build
	@scripts/check.sh full $(CLANG64_DIR) $(BUILD_DIR)

# The release archives $(BUILD_DIR)/dist/corvane-<version>-win32.zip and -win64.zip,
# whose programs must be byte for byte the ones the test builds run.
dist: build
	@scripts/dist.sh $(BUILD_DIR) $(BUILD_DIR)/corvane.exe $(BUILD64_DIR)/corvane.exe

clean:
	rm -rf $(BUILD_DIR) $(BUILD64_DIR) $(CLANG_DIR) $(CLANG64_DIR)

# Benchmarks: every executable in bench/ of the build this machine runs.
.PHONY: bench
bench: build
	@scripts/bench.sh $(RUNNABLE_DIR)

# The program over the stand-in taskbar with sample windows: on your display,
# or with none on a virtual one, where it saves a screenshot. Builds only the
# programs it starts, in the build this machine runs.
RUN_TARGETS = corvane corvane_standin corvane_standin_taskbarlist corvane_samples
.PHONY: run
run: configure
	@dir=$(RUNNABLE_DIR) && \
	 cmake --build "$$dir" -j 2 --target $(RUN_TARGETS) -- --no-print-directory && \
	 scripts/run.sh "$$dir"

# The README's pictures (docs/*.png), made the way `make run` starts the
# program, on an 800x600 virtual display.
.PHONY: screenshots
screenshots: configure
	@dir=$(RUNNABLE_DIR) && \
	 cmake --build "$$dir" -j 2 --target $(RUN_TARGETS) -- --no-print-directory && \
	 scripts/screenshots.sh "$$dir"

# The two commands of the README's Quick start are `make demo` and `make test`;
# each installs what is missing first (scripts/setup).
SHELL := /bin/bash
W32 := build/win32
NAT := build/native
FUZ := build/fuzz
W64 := build/win64
# Where this Linux runs no 32-bit programs (a kernel without ia32 emulation),
# Wine runs only 64-bit ones: the tests, the demo and the benchmarks then run
# a 64-bit build of the same sources (RUN), while the 32-bit product is still
# built and its files checked (imports, instructions, reproducibility).
I386 := $(shell scripts/runs-i386 && echo ON || echo OFF)
RUN := $(if $(filter ON,$(I386)),$(W32),$(W64))
PREFIX := $(CURDIR)/$(RUN)/wineprefix
ifeq ($(I386),OFF)
# Debian's `wine` would pick its 32-bit loader; scripts/wine64 picks the other.
export PATH := $(CURDIR)/scripts/wine64:$(PATH)
endif
SOURCES = $(shell git ls-files '*.cpp' '*.h' 2>/dev/null)

.PHONY: all setup build build-win32 build-native test test-native test-win32 \
        demo bench soak fuzz fuzz-long format format-check dist clean

all: build

setup:
	@scripts/setup

build: build-win32 build-native

build-win32: setup
	@[ -f $(W32)/build.ninja ] || cmake --preset win32 -DIDLER_RUN_TESTS=$(I386) >/dev/null
	@grep -q 'IDLER_RUN_TESTS:BOOL=$(I386)' $(W32)/CMakeCache.txt || cmake $(W32) -DIDLER_RUN_TESTS=$(I386) >/dev/null
	@cmake --build $(W32)
ifneq ($(RUN),$(W32))
	@[ -f $(W64)/build.ninja ] || cmake --preset win64 >/dev/null
	@cmake --build $(W64)
endif

build-native: setup
	@[ -f $(NAT)/build.ninja ] || cmake --preset native >/dev/null
	@cmake --build $(NAT)

build-fuzz: setup
	@[ -f $(FUZ)/build.ninja ] || cmake --preset fuzz >/dev/null
	@cmake --build $(FUZ)

# Debian 12's clang-format (14) made the checked-in formatting.
format: setup
	@clang-format -i $(SOURCES)

format-check: setup
	@clang-format --dry-run --Werror $(SOURCES) && echo "format: clean"

test-native: build-native build-fuzz
	@cd $(NAT) && ctest -j2 --output-on-failure
	@scripts/fuzz-run $(FUZ) 30

# with-display makes the Wine prefixes (the usual one and those reporting
# Windows 98 and 2000) before CTest lists the tests: making one takes longer
# than a test program's listing may.
test-win32: build-win32
ifneq ($(RUN),$(W32))
	@echo "test: this Linux runs no 32-bit programs; the 32-bit build's files are checked, its Wine tests run in the 64-bit build"
	@ctest --test-dir $(W32) -j2 --output-on-failure --timeout 300
endif
	@IDLER_WINE_VERSIONS="win98 win2k" scripts/with-display $(PREFIX) ctest --test-dir $(RUN) -j2 --output-on-failure --timeout 300

# Native and fuzz first (fast), then everything under Wine; the last line is
# CTest's summary of the Wine run.
test: format-check test-native test-win32

demo: build-win32
	@scripts/demo $(RUN)

bench: build-win32
	@scripts/with-display $(PREFIX) scripts/bench $(RUN)

soak: build-win32
	@scripts/with-display $(PREFIX) scripts/soak $(RUN)

fuzz: build-fuzz
	@scripts/fuzz-run $(FUZ) 600

# The release files in build/dist (docs/release.md): only the two programs built.
dist: setup
	@[ -f $(W32)/build.ninja ] || cmake --preset win32 >/dev/null
	@cmake --build $(W32) --target dist

clean:
	rm -rf build

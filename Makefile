# The two commands of the README's Quick start are `make demo` and `make test`;
# each installs what is missing first (scripts/setup).
SHELL := /bin/bash
W32 := build/win32
NAT := build/native
FUZ := build/fuzz
PREFIX := $(CURDIR)/$(W32)/wineprefix
SOURCES = $(shell git ls-files '*.cpp' '*.h' 2>/dev/null)

.PHONY: all setup build build-win32 build-native test test-native test-win32 \
        demo bench soak fuzz fuzz-long format format-check dist clean

all: build

setup:
	@scripts/setup

build: build-win32 build-native

build-win32: setup
	@[ -f $(W32)/build.ninja ] || cmake --preset win32 >/dev/null
	@cmake --build $(W32)

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
	@IDLER_WINE_VERSIONS="win98 win2k" scripts/with-display $(PREFIX) ctest --test-dir $(W32) -j2 --output-on-failure --timeout 300

# Native and fuzz first (fast), then everything under Wine; the last line is
# CTest's summary of the Wine run.
test: format-check test-native test-win32

demo: build-win32
	@scripts/demo $(W32)

bench: build-win32
	@scripts/with-display $(PREFIX) scripts/bench $(W32)

soak: build-win32
	@scripts/with-display $(PREFIX) scripts/soak $(W32)

fuzz: build-fuzz
	@scripts/fuzz-run $(FUZ) 600

# The release zip, build/dist/idler-VERSION.zip: only the two programs built.
dist: setup
	@[ -f $(W32)/build.ninja ] || cmake --preset win32 >/dev/null
	@cmake --build $(W32) --target dist

clean:
	rm -rf build

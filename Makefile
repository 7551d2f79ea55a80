# `make demo` and `make test`, the two commands of the README's "Build it and
# run the tests", each install what is missing first (scripts/setup).
SHELL := /bin/bash
W32 := build/win32
NAT := build/native
FUZ := build/fuzz
W64 := build/win64
# How Wine runs the Windows programs here, as scripts/setup found it: native,
# emulated (...) or 64-bit fallback: REASON. Expanded when a recipe runs, so
# after setup. In the fallback the tests, the demo and the benchmarks run a
# 64-bit build of the same sources (RUN) under 64-bit Wine, while the 32-bit
# product is still built and its files checked (imports, instructions,
# reproducibility).
MODE = $(shell cat build/i386-mode 2>/dev/null)
FALLBACK = $(filter 64-bit,$(firstword $(MODE)))
RUN = $(if $(FALLBACK),$(W64),$(W32))
RUNS32 = $(if $(FALLBACK),OFF,ON)
PREFIX = $(CURDIR)/$(RUN)/wineprefix
# Debian's `wine` would pick its 32-bit loader; scripts/wine64 picks the other.
WINE = $(if $(FALLBACK),PATH=$(CURDIR)/scripts/wine64:$$PATH)
# One line on which build Wine runs and how: $(call SAY,test: the Wine tests ran)
SAY = echo "$(1) the $(if $(FALLBACK),64,32)-bit build ($(RUN)): $$(cat build/i386-mode)"
SOURCES = $(shell git ls-files '*.cpp' '*.h' 2>/dev/null)

.PHONY: all setup build build-win32 build-native test test-native test-win32 \
        build-fuzz demo bench soak fuzz format format-check dist clean

all: build

setup:
	@scripts/setup build

build: build-win32 build-native

build-win32: setup
	@grep -qs 'IDLER_RUN_TESTS:BOOL=$(RUNS32)' $(W32)/CMakeCache.txt || \
	  cmake --preset win32 -DIDLER_RUN_TESTS=$(RUNS32) >/dev/null
	@cmake --build $(W32)
	@[ -z "$(FALLBACK)" ] || { [ -f $(W64)/build.ninja ] || cmake --preset win64 >/dev/null; }
	@[ -z "$(FALLBACK)" ] || cmake --build $(W64)

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
# In the fallback the 32-bit build's file checks run first, on their own.
# `make test-win32 TESTS=REGEX` runs only the tests whose names match.
CTEST = ctest -j2 --output-on-failure --timeout 300 $(if $(TESTS),-R '$(TESTS)')
test-win32: build-win32
	@[ -z "$(FALLBACK)" ] || $(CTEST) --test-dir $(W32)
	@$(WINE) IDLER_WINE_VERSIONS="win98 win2k" IDLER_I386_MODE="$$(cat build/i386-mode)" \
	  scripts/with-display $(PREFIX) \
	  $(CTEST) --test-dir $(RUN); \
	  rc=$$?; $(call SAY,test: the Wine tests ran); exit $$rc

# Native and fuzz first (fast), then everything under Wine; the last lines are
# CTest's summary of the Wine run and which build it ran, and how.
test: format-check test-native test-win32

demo: build-win32
	@$(call SAY,demo: Wine runs)
	@$(WINE) scripts/demo $(RUN)

# Figures taken under emulation are marked so (scripts/bench).
bench: build-win32
	@$(call SAY,bench: Wine runs)
	@$(WINE) IDLER_I386_MODE="$$(cat build/i386-mode)" scripts/with-display $(PREFIX) scripts/bench $(RUN)

soak: build-win32
	@$(call SAY,soak: Wine runs)
	@$(WINE) scripts/with-display $(PREFIX) scripts/soak $(RUN)

fuzz: build-fuzz
	@scripts/fuzz-run $(FUZ) 600

# The release files in build/dist (docs/release.md): only the two programs built.
dist: setup
	@[ -f $(W32)/build.ninja ] || cmake --preset win32 >/dev/null
	@cmake --build $(W32) --target dist

clean:
	rm -rf build

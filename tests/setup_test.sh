#!/usr/bin/env bash
# scripts/setup's choices, with a fake apt-get, dpkg and probe on PATH: a
# failed update goes on, an i386 set apt cannot resolve falls back to the
# 64-bit build with its line and no downgrade, and a Linux without 32-bit
# support (no emulation to be had) gets no i386 package.
set -uo pipefail
setup="$(cd "$(dirname "$0")/.." && pwd)/scripts/setup"
fake="$(mktemp -d)"
trap 'rm -rf "$fake"' EXIT
fail=0
tool() { printf '#!/bin/sh\n%s\n' "$2" >"$fake/bin/$1"; chmod +x "$fake/bin/$1"; }
mkdir "$fake/bin"
tool apt-get 'echo "apt-get $*" >>"$FAKE/asked"
case "$*" in
  *update*) echo "E: Failed to fetch .../binary-i386/Packages.xz  File has unexpected size"; exit 100 ;;
  *install*wine32*) [ "$FAKE_I386_SET" = ok ] || { echo "E: Unable to correct problems"; exit 100; } ;;
  *download*) exit 100 ;;
esac'
tool dpkg 'echo "dpkg $*" >>"$FAKE/asked"'
tool dpkg-query 'exit 1'
tool runs-i386 '[ "$FAKE_RUNS_I386" = yes ]'
tool sleep 'echo "sleep $*" >>"$FAKE/asked"'
tool sudo 'exec "$@"'

# NAME RUNS_I386 I386_SET MODE_PATTERN ASKED...: one run of setup, then its
# mode line against the pattern and what it asked of apt-get, dpkg and sleep
# against the regular expressions.
check() {
  local name="$1" mode
  rm -rf "$fake/build" "$fake/asked"
  FAKE="$fake" FAKE_RUNS_I386="$2" FAKE_I386_SET="$3" PATH="$fake/bin:$PATH" "$setup" "$fake/build" 2>"$fake/said"
  mode="$(cat "$fake/build/i386-mode" 2>/dev/null)"
  [[ $mode == $4 ]] || { echo "$name: mode '$mode', expected $4"; cat "$fake/said"; fail=1; }
  shift 4
  for want in "$@"; do # a leading ! : never asked
    if [[ $want == !* ]]; then
      grep -Eq -- "${want#!}" "$fake/asked" && { echo "$name: asked ${want#!}"; fail=1; }
    else
      grep -Eq -- "$want" "$fake/asked" || { echo "$name: never asked $want"; fail=1; }
    fi
  done
  grep -q allow-downgrades "$fake/asked" && { echo "$name: asked for a downgrade"; fail=1; }
}
check "update fails" yes ok '@(native|emulated *)' 'sleep' 'install.* wine32:i386' 'dpkg --add-architecture i386'
check "i386 set unresolvable" yes no '64-bit fallback: wine32:i386 cannot be installed (E: Unable*)' \
  'PreferencesParts.*install.* wine32:i386' 'install.* g\+\+-mingw-w64-x86-64'
check "no 32-bit support" no ok '64-bit fallback: *' '!i386' 'install.* g\+\+-mingw-w64-x86-64'
exit $fail

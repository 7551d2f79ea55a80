#!/bin/sh
# Runs StoreImmutable: root ignores a read-only file (on Linux and under Wine),
# so the data file is made immutable with chattr +i, which stops root too.
# Usage: store_immutable.sh WINE_RUN TEST_EXE. Exit 77 (a skip) with the reason
# when this file system or container cannot make a file immutable.
set -u
run="$1"; exe="$2"
dir="$(mktemp -d)"
file="$dir/vexidle.dat"
printf '[Prefs]\r\nREASON=kept\r\n' >"$file"
cleanup() { chattr -i "$file" 2>/dev/null; rm -rf "$dir"; }
trap cleanup EXIT
if ! chattr +i "$file" 2>/dev/null; then
  echo "SKIPPED: chattr +i is not possible here (it needs root with CAP_LINUX_IMMUTABLE" \
       "on ext4, xfs or btrfs); the immutable data file test did not run"
  exit 77
fi
# Wine's drive Z: is the Unix root.
IDLER_IMMUTABLE_DATA_FILE="Z:$(printf '%s' "$file" | tr / '\\')" \
  "$run" "$exe" --gtest_filter='StoreImmutable.*'

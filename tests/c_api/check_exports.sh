#!/bin/sh
# The shared library exports exactly the two VCD2 functions.
set -eu
exports=$(nm -D --defined-only "$1" | awk '$2 ~ /^[TDBRVW]$/ { print $3 }' | sort | tr '\n' ' ')
if [ "$exports" != "VCD2DiscBuilder VCD2SetCallbacks " ]; then
  echo "unexpected exports: $exports" >&2
  exit 1
fi
echo "exports: $exports"

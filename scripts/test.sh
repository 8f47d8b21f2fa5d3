#!/usr/bin/env bash
# Installs what is missing, builds and runs every test.
#   scripts/test.sh              the normal build in build/
#   scripts/test.sh --sanitize   AddressSanitizer + UndefinedBehaviorSanitizer build in build-asan/
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$root/scripts/setup.sh"

args=()
export KOMP_BUILD_DIR="${KOMP_BUILD_DIR:-$root/build}"
if [ "${1:-}" = "--sanitize" ]; then
  export KOMP_BUILD_DIR="$root/build-asan"
  args+=(-DKOMP_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug)
  export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=0}"
  export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1}"
fi
"$root/scripts/build.sh" "${args[@]}"
export QT_QPA_PLATFORM=offscreen
cd "$KOMP_BUILD_DIR"
ctest --output-on-failure -j "$(nproc)" --timeout 600

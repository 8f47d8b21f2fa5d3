#!/usr/bin/env bash
# Configures and builds into build/ (or $KOMP_BUILD_DIR); extra arguments go to cmake.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
dir="${KOMP_BUILD_DIR:-$root/build}"
cmake -S "$root" -B "$dir" -G Ninja "$@" >/dev/null
cmake --build "$dir" -j "$(nproc)"

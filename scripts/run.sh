#!/usr/bin/env bash
# Installs what is missing, builds and starts Brivox. Arguments go to brivox
# (for example: scripts/run.sh export daten.bin --size 100).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$root/scripts/setup.sh"
export KOMP_BUILD_DIR="${KOMP_BUILD_DIR:-$root/build}"
cmake -S "$root" -B "$KOMP_BUILD_DIR" -G Ninja >/dev/null
cmake --build "$KOMP_BUILD_DIR" --target brivox -j "$(nproc)"
exec "$KOMP_BUILD_DIR/app/brivox" "$@"

#!/usr/bin/env bash
# Renders the Brivox window in both modes into docs/ (through the window test).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
dir="${KOMP_BUILD_DIR:-$root/build}"
cmake --build "$dir" --target brivox_window_tests
BRIVOX_SCREENSHOT_DIR="$root/docs" QT_QPA_PLATFORM=offscreen \
  "$dir/tests/brivox/brivox_window_tests" --gtest_filter='*RendersBothModes*'

#!/usr/bin/env bash
# Sets up a fresh machine, builds the suite with AddressSanitizer and UndefinedBehaviorSanitizer,
# and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake -S . -B build/test -DCMAKE_BUILD_TYPE=Debug -DVESSRA_SANITIZE=ON -DVESSRA_TESTS=ON
cmake --build build/test --parallel "$(nproc)"
export QT_QPA_PLATFORM=offscreen
ctest --test-dir build/test --output-on-failure --parallel "$(nproc)"

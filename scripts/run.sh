#!/usr/bin/env bash
# Sets up a fresh machine, builds the suite and starts it on the default simulated machine.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake -S . -B build/run -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVESSRA_TESTS=OFF
cmake --build build/run --parallel "$(nproc)"
if [ -x build/run/lumvar/lumvar ]; then
  exec build/run/lumvar/lumvar
fi
# Until the utility itself is built: create the default machine if needed and show what it holds.
build/run/sim/simhost/simhost show

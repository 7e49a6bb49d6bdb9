#!/usr/bin/env bash
# Installs what is missing, builds Mevalo and starts it on the shipped data.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/deps.sh
dir=build/plain
cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$dir" -j "$(nproc)"
if [ -x "$dir/bin/mevalo" ]; then
  exec "$dir/bin/mevalo"
fi
# Until the main program is there: one request/reply exchange through Qel with the simulated amplifier.
exec "$dir/bin/bench_link"

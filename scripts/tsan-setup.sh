#!/usr/bin/env bash
# Builds the setup launcher and its tests with ThreadSanitizer (build/tsan) and runs those tests.
# Only the launcher's targets are built: the rest of the project has no threads of its own.
# Extra arguments go to the CMake configure step (e.g. -DCMAKE_CXX_COMPILER_LAUNCHER=ccache).
set -euo pipefail
cd "$(dirname "$0")/.."
export QT_QPA_PLATFORM=offscreen
jobs=${JOBS:-$(nproc)}
dir=build/tsan
cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMEVALO_TSAN=ON -DMEVALO_TESTS=ON \
  -DMEVALO_BENCH=OFF "$@" >/dev/null
cmake --build "$dir" -j "$jobs" --target instoran setup_tests
echo "== tests: setup launcher under ThreadSanitizer =="
export TSAN_OPTIONS="halt_on_error=1 ${TSAN_OPTIONS:-}"
cd "$dir" && ctest --output-on-failure -j "$jobs" -R '^setup\.' --timeout 300

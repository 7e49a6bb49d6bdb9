#!/usr/bin/env bash
# Installs what is missing, builds Mevalo twice (plain, and with AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs every test of both builds with CTest, then the setup launcher's tests
# under ThreadSanitizer. The sanitizer build does the spectrum chain's log10 and atan2 one value at a time
# (MEVALO_SCALAR_MATH), so that the chain's accuracy tests run on both of its paths.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/deps.sh
export QT_QPA_PLATFORM=offscreen
jobs=$(nproc)
status=0
for kind in plain sanitize; do
  dir=build/$kind
  san=OFF; [ "$kind" = sanitize ] && san=ON
  cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMEVALO_SANITIZE=$san -DMEVALO_SCALAR_MATH=$san \
    >/dev/null
  cmake --build "$dir" -j "$jobs"
  echo "== tests: $kind build =="
  (cd "$dir" && ctest --output-on-failure -j "$jobs" --timeout 300) || status=1
done
# The setup launcher is the one program with threads of its own: its tests run under ThreadSanitizer too.
./scripts/tsan-setup.sh || status=1
exit $status

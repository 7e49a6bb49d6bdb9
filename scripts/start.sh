#!/usr/bin/env bash
# Installs what is missing, builds Mevalo and starts it on the shipped data, with a simulated family R
# amplifier on a pseudo-terminal as COM1 (choose RS-232C and "Auto-set" in the connection dialog).
# Set MEVALO_NO_SIM=1 to leave the ports alone and use real hardware (see "Serial ports" in the README).
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/deps.sh
dir=build/plain
cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$dir" -j "$(nproc)"
bin="$dir/bin"
if [ "${MEVALO_NO_SIM:-0}" != 1 ]; then
  envfile=$(mktemp)
  # Commands written to this pipe steer the simulated amplifier (ampsim --help lists them).
  steer="$dir/ampsim.in"
  rm -f "$steer" && mkfifo "$steer"
  exec 3<>"$steer"
  "$bin/ampsim" --port 1 --family R --model ZT040P --env-file "$envfile" <&3 >/dev/null &
  sim=$!
  trap 'kill $sim 2>/dev/null; rm -f "$envfile" "$steer"' EXIT
  for _ in $(seq 50); do [ -s "$envfile" ] && break; sleep 0.1; done
  export "$(cat "$envfile")"
  echo "Simulated amplifier on ${QEL_COM1} (COM1); steer it with e.g.: echo 'alarm 31' > $steer"
fi
"$bin/mevalo"

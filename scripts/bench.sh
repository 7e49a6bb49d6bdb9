#!/bin/sh
# Runs the six benchmarks and the start-up probe one after the other (run it on an idle machine) and prints each one's summary,
# the figures of the README's performance table. The first argument is the build folder (build/dev if none);
# it must be a build with optimisation (RelWithDebInfo or Release).
set -eu
dir=${1:-build/dev}
cmake --build "$dir" --target bench_link bench_params bench_monitor bench_wave bench_freq bench_positioning
echo "machine: $(nproc) CPUs, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ *//')," \
     "load average $(cut -d' ' -f1-3 /proc/loadavg), $(date -u +%Y-%m-%d)"
status=0
for b in link params monitor wave freq positioning; do
    echo
    echo "== bench_$b"
    # The benchmark library's own table comes first; each benchmark's summary follows after an empty line.
    out=$(mktemp)
    err=$(mktemp)
    if ! "$dir/bin/bench_$b" --benchmark_color=false >"$out" 2>"$err"; then
        status=1
        grep -i "error\|skip" "$out" "$err" || true
    fi
    sed 's/\x1b\[[0-9;]*m//g' "$out" | sed -n '/^$/,$p'
    rm -f "$out" "$err"
done
# Start-up: launch to the shown connection dialog, 20 launches on the offscreen platform (the program's own probe).
echo
echo "== start-up"
rt=$(mktemp -d)
times=$(for _ in $(seq 20); do
          XDG_RUNTIME_DIR=$rt QT_QPA_PLATFORM=offscreen MEVALO_STARTUP_PROBE=1 "$dir/bin/mevalo" 2>/dev/null | tail -n 1
        done | sort -n)
rm -rf "$rt"
if [ "$(echo "$times" | grep -c '^[0-9][0-9]*$')" -eq 20 ]; then
    echo "Launch to connection dialog, 20 launches: $(echo "$times" | head -n 1) to $(echo "$times" | tail -n 1) ms," \
         "median $(echo "$times" | sed -n 10p) ms (target under 300 ms)"
else
    echo "start-up probe failed"; status=1
fi
exit $status

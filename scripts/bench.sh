#!/usr/bin/env bash
# Runs every benchmark program of BUILD/bench, then prints, for each benchmark
# NAME that has a partner NAME_Floor, the ratio of their median times: how far
# the work stays above the floor it cannot go below. The batch benchmark prints
# its own ratios; with a Windows build beside, its batch benchmark and the
# window's batch benchmark run under Wine as well.
#   scripts/bench.sh BUILD [WINDOWS_BUILD] [extra benchmark arguments...]
set -euo pipefail
build="${1:?usage: scripts/bench.sh BUILD [WINDOWS_BUILD]}"
shift
windows=""
if [ $# -gt 0 ] && [ -d "$1" ]; then windows="$1"; shift; fi
results="$build/bench-results"
mkdir -p "$results"

shopt -s nullglob
for program in "$build"/bench/*; do
  [ -f "$program" ] && [ -x "$program" ] || continue
  name="$(basename "$program")"
  echo "== $name"
  if [ "$name" = batch_bench ] || [ "$name" = clip_run_bench ]; then "$program"; continue; fi
  # Interleaved repetitions, medians: fairer on a machine that others share.
  "$program" --benchmark_repetitions=7 --benchmark_enable_random_interleaving=true \
    --benchmark_report_aggregates_only=true --benchmark_out="$results/$name.json" \
    --benchmark_out_format=json "$@"
done

echo "== ratios to the floor (medians: real time, and CPU time, which a machine shared with others disturbs less)"
for json in "$results"/*.json; do
  awk '
    /"name":/ { name = $2; gsub(/[",]/, "", name) }
    /"aggregate_name": "median"/ { median = 1 }
    /"real_time":/ { time = $2; gsub(/,/, "", time) }
    /"cpu_time":/ { cpu = $2; gsub(/,/, "", cpu) }
    /^ *}/ {
      if (median && name != "") { sub(/_median$/, "", name); t[name] = time; c[name] = cpu }
      name = ""; median = 0
    }
    END {
      for (n in t) if ((n "_Floor") in t)
        printf "%-40s %6.2fx  (%.1f / %.1f)   cpu %6.2fx  (%.1f / %.1f)\n", n, t[n] / t[n "_Floor"], t[n], t[n "_Floor"],
               c[n] / c[n "_Floor"], c[n], c[n "_Floor"]
      # Readers side by side: how many times faster kxvGIF is than each other one.
      for (n in t) if (n ~ /_kxvGIF$/) {
        base = substr(n, 1, length(n) - 7)
        for (other in t) if (index(other, base "_") == 1 && other != n)
          printf "%-40s %6.2fx faster than %s  (%.2f / %.2f)\n", n, t[other] / t[n], substr(other, length(base) + 2), t[other], t[n]
      }
    }' "$json"
done

if [ -n "$windows" ]; then
  echo "== batch_bench.exe under Wine"
  bash "$(dirname "$0")/with-display.sh" bash "$(dirname "$0")/wine-exec.sh" "$windows/bench/batch_bench.exe"
  echo "== window_batch_bench.exe under Wine"
  bash "$(dirname "$0")/with-display.sh" bash "$(dirname "$0")/wine-exec.sh" "$windows/bench/window_batch_bench.exe"
  echo "== wic_plugin_bench.exe under Wine"
  bash "$(dirname "$0")/with-display.sh" bash "$(dirname "$0")/wine-exec.sh" "$windows/bench/wic_plugin_bench.exe"
fi

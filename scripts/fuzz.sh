#!/usr/bin/env bash
# Runs every fuzz target of a fuzz build for the given number of seconds each.
#   bash scripts/fuzz.sh BUILD-FOLDER SECONDS
# A target NAME keeps its corpus in BUILD/corpus/NAME, seeded by NAME_seeds when
# that program exists, and the inputs of its findings in BUILD/findings/NAME. Prints the
# executions of each target and every finding; exits non-zero on any finding.
set -uo pipefail

build=${1:?usage: fuzz.sh BUILD-FOLDER SECONDS}
seconds=${2:-60}
build=$(cd "$build" && pwd)

mapfile -t targets < <(find "$build" -type f -name '*_fuzz' -perm -u+x | sort)
if [ ${#targets[@]} -eq 0 ]; then
  echo "fuzz: no fuzz targets under $build" >&2
  exit 1
fi

failed=0
summary=()
for target in "${targets[@]}"; do
  name=$(basename "$target")
  corpus=$build/corpus/$name
  findings=$build/findings/$name
  log=$build/logs/$name.log
  mkdir -p "$corpus" "$findings" "$(dirname "$log")"
  if [ -x "${target}_seeds" ]; then
    "${target}_seeds" "$corpus" || { echo "fuzz: $name: seed writer failed" >&2; failed=1; continue; }
  fi
  args=()
  [ -f "$target.args" ] && read -r -a args < "$target.args"
  echo "fuzz: $name for ${seconds}s (corpus $(find "$corpus" -type f | wc -l) files)"
  "$target" "$corpus" "${args[@]}" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2560 \
    -print_final_stats=1 -artifact_prefix="$findings/" >"$log" 2>&1
  status=$?
  runs=$(grep -o 'Done [0-9]* runs' "$log" | tail -1 | grep -o '[0-9]*')
  [ -z "$runs" ] && runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | tail -1 | grep -o '[0-9]*$')
  if [ $status -ne 0 ]; then
    failed=1
    echo "fuzz: $name: FINDING (exit $status), log $log"
    grep -E 'ERROR|SUMMARY|runtime error|Test unit written' "$log" | head -20
    summary+=("$name: ${runs:-?} executions, FINDINGS in $findings")
  else
    summary+=("$name: ${runs:-?} executions, no findings")
  fi
done

echo "fuzz summary:"
printf '  %s\n' "${summary[@]}"
exit $failed

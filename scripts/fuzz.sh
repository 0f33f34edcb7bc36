#!/usr/bin/env bash
# Runs the fuzz targets of a fuzz build for the given number of seconds each.
#   bash scripts/fuzz.sh BUILD-FOLDER SECONDS [TARGET...]
# With FUZZ_RUNS=N in the environment, a target also stops after N executions.
# Without TARGETs, every target of the build runs, one after the other.
# A target NAME fuzzes BUILD/corpus/NAME. Before the run that folder receives the
# kept corpus (fuzz/corpus/NAME) and the seeds of NAME_seeds, when that program
# exists; after it, the folder holds the minimised merge (-merge=1) of what it
# held and what the run found. The inputs of findings go to BUILD/findings/NAME.
# Each run adds a line to BUILD/corpus/RUNS (date, target, executions, coverage
# before and after), which `make fuzz-keep` moves into fuzz/corpus/README.
# Prints the executions of each target and every finding; exits non-zero on
# any finding.
set -uo pipefail

build=${1:?usage: fuzz.sh BUILD-FOLDER SECONDS [TARGET...]}
seconds=${2:-60}
shift 2 || shift $#
build=$(cd "$build" && pwd)
kept=$(cd "$(dirname "$0")/.." && pwd)/fuzz/corpus

if [ $# -gt 0 ]; then
  targets=()
  for name in "$@"; do targets+=("$build/fuzz/$name"); done
else
  mapfile -t targets < <(find "$build" -type f -name '*_fuzz' -perm -u+x | sort)
fi
if [ ${#targets[@]} -eq 0 ]; then
  echo "fuzz: no fuzz targets under $build" >&2
  exit 1
fi

# The coverage libFuzzer reports: "cov: EDGES ft: FEATURES" of the given line.
coverage_of() { grep -o 'cov: [0-9]* ft: [0-9]*' | "$@" | sed 's/cov: \([0-9]*\) ft: \([0-9]*\)/\1 \2/'; }

# The targets that go through files write them under TMPDIR. Where a memory
# file system takes them, they run several times faster than on a disk.
if scratch=$(mktemp -d /dev/shm/talvern-fuzz.XXXXXX 2>/dev/null); then
  export TMPDIR=$scratch
  trap 'rm -rf "$scratch"' EXIT
fi

failed=0
summary=()
for target in "${targets[@]}"; do
  name=$(basename "$target")
  if [ ! -x "$target" ]; then
    echo "fuzz: no target $name under $build" >&2
    failed=1
    continue
  fi
  corpus=$build/corpus/$name
  findings=$build/findings/$name
  log=$build/logs/$name.log
  mkdir -p "$corpus" "$findings" "$(dirname "$log")"
  [ -d "$kept/$name" ] && cp -n "$kept/$name"/* "$corpus"/ 2>/dev/null
  if [ -x "${target}_seeds" ]; then
    "${target}_seeds" "$corpus" || { echo "fuzz: $name: seed writer failed" >&2; failed=1; continue; }
  fi
  args=()
  [ -f "$target.args" ] && read -r -a args < "$target.args"
  limits=(-max_total_time="$seconds")
  [ -n "${FUZZ_RUNS:-}" ] && limits+=(-runs="$FUZZ_RUNS")
  echo "fuzz: $name for ${seconds}s${FUZZ_RUNS:+ or $FUZZ_RUNS executions} (corpus $(find "$corpus" -type f | wc -l) files)"
  started=$SECONDS
  "$target" "$corpus" "${args[@]}" "${limits[@]}" -timeout=10 -rss_limit_mb=2560 \
    -print_final_stats=1 -artifact_prefix="$findings/" >"$log" 2>&1
  status=$?
  elapsed=$((SECONDS - started))
  runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | tail -1 | grep -o '[0-9]*$')
  [ -z "$runs" ] && runs=$(grep -o 'Done [0-9]* runs' "$log" | tail -1 | grep -o '[0-9]*')
  read -r cov0 ft0 < <(grep 'INITED' "$log" | coverage_of head -1)
  read -r cov1 ft1 < <(coverage_of tail -1 < "$log")

  merged=$build/corpus/$name.merging
  rm -rf "$merged" && mkdir -p "$merged"
  if "$target" -merge=1 "${args[@]}" -timeout=10 -rss_limit_mb=2560 "$merged" "$corpus" >"$log.merge" 2>&1; then
    rm -rf "$corpus" && mv "$merged" "$corpus"
  else
    echo "fuzz: $name: merge failed, corpus left unminimised (log $log.merge)" >&2
    rm -rf "$merged"
    failed=1
  fi

  result="no findings"
  if [ $status -ne 0 ]; then
    failed=1
    result="FINDING"
    echo "fuzz: $name: FINDING (exit $status), log $log"
    grep -E 'ERROR|SUMMARY|runtime error|Test unit written' "$log" | head -20
  fi
  printf '| %s | %s | %s | %s | edges %s → %s, features %s → %s%s |\n' "$(date -u +%F)" "$name" "${elapsed}s" \
    "${runs:-?}" "${cov0:-?}" "${cov1:-?}" "${ft0:-?}" "${ft1:-?}" "$([ $status -ne 0 ] && echo ", FINDING")" \
    >>"$build/corpus/RUNS"
  summary+=("$name: ${runs:-?} executions, edges ${cov0:-?} → ${cov1:-?}, corpus $(find "$corpus" -type f | wc -l) files, $result")
done

echo "fuzz summary:"
printf '  %s\n' "${summary[@]}"
exit $failed

#!/usr/bin/env bash
# Writes the corpus of a fuzz build back into the kept corpus, for a commit:
#   bash scripts/fuzz-keep.sh BUILD-FOLDER
# For each target NAME with a corpus under BUILD/corpus, fuzz/corpus/NAME becomes
# the minimised merge (-merge=1) of the kept corpus and the build's. The runs
# recorded in BUILD/corpus/RUNS move to the table of fuzz/corpus/README.
set -euo pipefail

build=$(cd "${1:?usage: fuzz-keep.sh BUILD-FOLDER}" && pwd)
kept=$(cd "$(dirname "$0")/.." && pwd)/fuzz/corpus

for corpus in "$build"/corpus/*_fuzz; do
  [ -d "$corpus" ] || continue
  name=$(basename "$corpus")
  target=$build/fuzz/$name
  [ -x "$target" ] || { echo "fuzz-keep: no target $name under $build" >&2; exit 1; }
  args=()
  [ -f "$target.args" ] && read -r -a args < "$target.args"
  merged=$(mktemp -d)
  mkdir -p "$kept/$name"
  "$target" -merge=1 "${args[@]}" -timeout=10 -rss_limit_mb=2560 "$merged" "$kept/$name" "$corpus" \
    >"$build/logs/$name.keep.log" 2>&1 || { echo "fuzz-keep: $name: merge failed" >&2; rm -rf "$merged"; exit 1; }
  rm -rf "${kept:?}/$name" && mv "$merged" "$kept/$name" && chmod 755 "$kept/$name"
  echo "fuzz-keep: $name: $(find "$kept/$name" -type f | wc -l) files, $(du -sk "$kept/$name" | cut -f1) KiB"
done

if [ -s "$build/corpus/RUNS" ]; then
  cat "$build/corpus/RUNS" >>"$kept/README"
  : >"$build/corpus/RUNS"
fi
echo "fuzz-keep: kept corpus $(du -sk "$kept" | cut -f1) KiB in all"

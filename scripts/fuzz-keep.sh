#!/usr/bin/env bash
# Writes the corpus of a fuzz build back into the kept corpus, for a commit:
#   bash scripts/fuzz-keep.sh BUILD-FOLDER [TARGET...]
# For each target NAME with a corpus under BUILD/corpus (or each one named),
# fuzz/corpus/NAME becomes the minimised merge (-merge=1) of the kept corpus and
# the build's, and the target's runs recorded in BUILD/corpus/RUNS move to the
# table of fuzz/corpus/README.
set -euo pipefail

build=$(cd "${1:?usage: fuzz-keep.sh BUILD-FOLDER [TARGET...]}" && pwd)
shift
kept=$(cd "$(dirname "$0")/.." && pwd)/fuzz/corpus

corpora=("$build"/corpus/*_fuzz)
[ $# -gt 0 ] && corpora=("${@/#/$build/corpus/}")
for corpus in "${corpora[@]}"; do
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
  echo "fuzz-keep: $name: $(find "$kept/$name" -type f | wc -l) files, $(du -sk --apparent-size "$kept/$name" | cut -f1) KiB"
  runs=$build/corpus/RUNS
  if [ -f "$runs" ]; then
    grep -F "| $name |" "$runs" >>"$kept/README" || true
    grep -vF "| $name |" "$runs" >"$runs.left" || true
    mv "$runs.left" "$runs"
  fi
done
echo "fuzz-keep: kept corpus $(du -sk --apparent-size "$kept" | cut -f1) KiB in all"

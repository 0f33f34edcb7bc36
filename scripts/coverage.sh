#!/usr/bin/env bash
# Source coverage of the decoders and parsers from the kept fuzz corpus:
#   bash scripts/coverage.sh BUILD-FOLDER
# BUILD is a fuzz build instrumented with clang's source coverage (the Makefile's
# coverage target). Every target replays its kept corpus (fuzz/corpus/NAME) and
# its seeds once; the table gives the line and branch coverage of each file that
# the targets exist for, and BUILD/coverage/uncovered.txt lists the lines no
# input reached.
set -euo pipefail

build=$(cd "${1:?usage: coverage.sh BUILD-FOLDER}" && pwd)
root=$(cd "$(dirname "$0")/.." && pwd)
out=$build/coverage
rm -rf "$out" && mkdir -p "$out/profiles"

# The files the fuzz targets are there for. Of the last four, only the filter
# joining, the paste functions and the text and separator helpers are fuzzed:
# the whole file's figures count the rest of it too.
files=(
  framework/bmp_decoder.cpp framework/dib_layout.cpp image/bmp_file.cpp
  gif/kxv_gif.cpp gif/gif_lzw.cpp
  external/dib_file_stream.cpp external/kxv_gv_stream.cpp external/spi_host_protocol.cpp
  external/spi_format_list.cpp external/gv_window_rect.cpp cli/path_list.cpp
  image/kxv_super_image.cpp app/clip_list.cpp image/text_helpers.cpp image/path_helpers.cpp
)

objects=()
for target in $(find "$build/fuzz" -type f -name '*_fuzz' -perm -u+x | sort); do
  name=$(basename "$target")
  replay=$out/replay/$name
  mkdir -p "$replay"
  [ -d "$root/fuzz/corpus/$name" ] && cp "$root/fuzz/corpus/$name"/* "$replay"/ 2>/dev/null || true
  [ -x "${target}_seeds" ] && LLVM_PROFILE_FILE=/dev/null "${target}_seeds" "$replay"
  args=()
  [ -f "$target.args" ] && read -r -a args < "$target.args"
  LLVM_PROFILE_FILE="$out/profiles/$name.%p.profraw" "$target" "${args[@]}" -runs=0 "$replay" \
    >"$out/$name.log" 2>&1 || { echo "coverage: $name failed on its corpus (log $out/$name.log)" >&2; exit 1; }
  echo "coverage: $name replayed $(find "$replay" -type f | wc -l) inputs"
  objects+=(-object "$target")
done

llvm-profdata merge -sparse "$out"/profiles/*.profraw -o "$out/fuzz.profdata"
# llvm-cov takes the first binary plainly, the others after -object. Its file
# names are as the compiler saw them: absolute, or relative to the object's
# folder when the compiles went through ccache with a base directory.
cov=(-instr-profile="$out/fuzz.profdata" "${objects[@]:1}")
normalise='function source(name) { sub(root, "", name); while (name ~ /^\.\.\//) sub(/^\.\.\//, "", name); return name }'
llvm-cov report "${cov[@]}" -show-branch-summary >"$out/report.txt"
echo
printf '%-30s %7s %7s %8s %9s %7s %8s\n' file lines missed cover branches missed cover
awk -v root="$root/" -v wanted="${files[*]}" "$normalise"'
  BEGIN { n = split(wanted, list, " "); for (i = 1; i <= n; ++i) keep[list[i]] = i }
  # Regions, missed, cover, functions, missed, cover, lines, missed, cover, branches, missed, cover
  { name = source($1) }
  name in keep { row[keep[name]] = sprintf("%-30s %7s %7s %8s %9s %7s %8s", name, $8, $9, $10, $11, $12, $13) }
  END { for (i = 1; i <= n; ++i) if (i in row) print row[i]; else printf "%-30s (not reached by any target)\n", list[i] }' \
  "$out/report.txt"
llvm-cov show "${cov[@]}" -show-line-counts | awk -F'|' -v root="$root/" -v wanted="${files[*]}" "$normalise"'
  BEGIN { n = split(wanted, list, " "); for (i = 1; i <= n; ++i) keep[list[i]] = 1 }
  /^[^ ].*:$/ { file = source(substr($0, 1, length($0) - 1)); next }
  (file in keep) && NF >= 3 && $2 ~ /^ *0$/ {
    line = $1; gsub(/ /, "", line); print file ":" line ":" substr($0, length($1 $2) + 3)
  }' | sort -u -t: -k1,1 -k2,2n >"$out/uncovered.txt"
echo
echo "coverage: lines no input reached: $out/uncovered.txt ($(wc -l <"$out/uncovered.txt") lines)"

#!/usr/bin/env bash
# `make dist`: one zip per Windows build, ready to unpack and run:
# build/dist/talvern-win32.zip and build/dist/talvern-win64.zip, each holding a
# folder TALVERN with the program, its help file, talvern-clip.exe, the Susie
# plug-in hosts and the plug-ins the build placed beside the program.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
dist="$root/build/dist"
mkdir -p "$dist"
for arch in win32 win64; do
  build="$root/build/$arch"
  stage="$dist/talvern-$arch"
  rm -rf "$stage" "$dist/talvern-$arch.zip"
  mkdir -p "$stage/TALVERN"
  cp "$build/app/TALVERN.exe" "$build/app/TALVERN.HLP" "$build/cli/talvern-clip.exe" "$stage/TALVERN/"
  find "$build/app" -maxdepth 1 -type f \( -iname '*.spi' -o -iname '*.sph' -o -iname 'talvern-spihost*.exe' \) \
    -exec cp {} "$stage/TALVERN/" \;
  (cd "$stage" && cmake -E tar cf "$dist/talvern-$arch.zip" --format=zip TALVERN)
  rm -rf "$stage"
  echo "$dist/talvern-$arch.zip"
done

#!/usr/bin/env bash
# Says whether the 32-bit Windows tree can run here. Exit status 0 when it can;
# otherwise 1, with the reason on standard output.
#
# The proof is a tiny static 32-bit x86 Linux program, written here byte by byte,
# that exits with status 42: it does so only where the kernel really executes
# 32-bit code. TALVERN_SKIP_WIN32=1 skips the 32-bit tree whatever the machine.
set -uo pipefail

if [ -n "${TALVERN_SKIP_WIN32:-}" ]; then
  echo "TALVERN_SKIP_WIN32 is set"
  exit 1
fi

probe="$(mktemp "${TMPDIR:-/tmp}/talvern-x86-probe.XXXXXX")"
trap 'rm -f "$probe"' EXIT
{
  # ELF header: 32-bit, little-endian, executable, i386, entry 0x08048054.
  printf '\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00'
  printf '\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00'
  printf '\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00\x00\x00\x00\x00'
  # One loadable segment: the whole 96-byte file at 0x08048000, read and execute.
  printf '\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08'
  printf '\x60\x00\x00\x00\x60\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00'
  # mov ebx, 42; mov eax, 1 (exit); int 0x80
  printf '\xbb\x2a\x00\x00\x00\xb8\x01\x00\x00\x00\xcd\x80'
} >"$probe"
chmod +x "$probe"
"$probe" 2>/dev/null
status=$?
if [ "$status" -ne 42 ]; then
  echo "this machine does not execute 32-bit x86 programs (a 32-bit probe program could not run)"
  exit 1
fi
exit 0

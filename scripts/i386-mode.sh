#!/usr/bin/env bash
# How this machine runs 32-bit x86 programs: the one place that knows. Prints one word:
#
#   direct    the kernel runs them itself
#   binfmt    a binfmt_misc handler hands every one of them to qemu-i386, even where the kernel
#             could run them (after scripts/wine-test.sh set Wine up on a machine without 32-bit
#             support, or an installed qemu-user-binfmt)
#   emulator  the kernel cannot run them and no handler is registered: they run as
#             `qemu-i386 -L / PROGRAM` (qemu-user)
#   none      neither
#
#   scripts/i386-mode.sh              the word
#   scripts/i386-mode.sh --why        the word, a tab, and a sentence for people
#   scripts/i386-mode.sh --emulator   how a build runs its 32-bit programs, as a CMake list:
#                                     empty where the kernel runs them, else qemu-i386 -L / and,
#                                     for a qemu-i386 older than 8.1, a processor without AVX2
#
# Debian 12's own qemu-i386 (7.2) gets AVX2 gathers wrong in 32-bit code (the rotation's
# vpgatherdd faults there, and runs right on the processor and in qemu 8.1 and later), so with
# it the 32-bit suite runs on an emulated processor without AVX2: its SSE2 and portable loops.
# The Wine set-up installs qemu-user 10 from bookworm-backports, which runs the AVX2 loops too.
#
# Asked with a 96-byte static i386 program that exits with 42 through int 0x80, run with
# QEMU_VERSION set: the kernel runs it and it exits with 42, while qemu-i386 prints its version
# instead of running it. The run is bounded by 10 seconds.
set -uo pipefail

probe=$(mktemp "${TMPDIR:-/tmp}/tavikit-i386-probe.XXXXXX") || exit 2
trap 'rm -f "$probe"' EXIT
printf '\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00\x00\x00\x00\x00\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08\x60\x00\x00\x00\x60\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00\xb8\x01\x00\x00\x00\xbb\x2a\x00\x00\x00\xcd\x80' >"$probe"
chmod 700 "$probe"

output=$(QEMU_VERSION=1 timeout -k 2 10 "$probe" 2>/dev/null)
status=$?
if [ "$status" = 42 ]; then
  mode=direct why="the kernel runs 32-bit programs itself"
elif [ "$status" = 0 ] && [[ $output == qemu-i386\ version* ]]; then
  mode=binfmt why="a binfmt_misc handler runs every 32-bit program through ${output%% (*}"
elif [ "$status" = 124 ] || [ "$status" = 137 ]; then
  mode=none why="a 32-bit program did not finish within 10 s"
elif command -v qemu-i386 >/dev/null; then
  mode=emulator why="the kernel runs no 32-bit programs; they run as qemu-i386 -L / PROGRAM"
else
  mode=none why="the kernel runs no 32-bit programs and there is no qemu-i386 (Debian: qemu-user)"
fi

# The emulator for builds: qemu-i386 wherever the kernel does not run the programs itself (a
# registered handler may be an older qemu than the one on PATH, or go away).
emulator=""
if [ "$mode" != direct ] && qemu=$(command -v qemu-i386); then
  emulator="$qemu;-L;/"
  version=$("$qemu" --version | sed -n '1s/^qemu-i386 version \([0-9.]*\).*/\1/p')
  if dpkg --compare-versions "${version:-0}" lt 8.1; then
    emulator="$emulator;-cpu;max,-avx2"
    why="$why (qemu-i386 $version: on a processor without AVX2, whose gathers it gets wrong)"
  fi
fi

case "${1:-}" in
  --why) printf '%s\t%s\n' "$mode" "$why" ;;
  --emulator) printf '%s\n' "$emulator" ;;
  *) printf '%s\n' "$mode" ;;
esac

#!/usr/bin/env bash
# A Windows test program under Wine, in the prefix of its word size: GoogleTest's own summary must
# show tests that ran and passed. With --dll, the program is the export suite and the DLL of its
# build (Tavikit.DLL or Tavikit64.DLL) must lie beside it; the suite runs once with the
# processor's widest vector loops, then under each TAVIKIT_VECTORS cap.
#
#   scripts/wine-suite.sh [--dll] PROGRAM.exe
#
# Wine must be set up (scripts/wine-setup.sh). Exit codes: 0 passed; 1 failed.
set -uo pipefail
SCRIPTS=$(cd "$(dirname "$0")" && pwd)
WINE_SCRIPT=wine-suite
# shellcheck source=lib/bounded.sh
. "$SCRIPTS/lib/bounded.sh"
# shellcheck source=lib/wine.sh
. "$SCRIPTS/lib/wine.sh"

caps=("")
if [ "${1:-}" = --dll ]; then
  shift
  caps=("" avx2 sse2 portable)  # the widest vector loops, then each cap of TAVIKIT_VECTORS
fi
exe=${1:-}
[ -f "$exe" ] || { say "no $exe: build its preset first"; exit 1; }
if [ ${#caps[@]} -gt 1 ]; then
  dll=Tavikit.DLL
  [ "$(program_bits "$exe")" = 64 ] && dll=Tavikit64.DLL
  [ -f "$(dirname "$exe")/$dll" ] || { say "no $dll beside $exe"; exit 1; }
fi
for cap in "${caps[@]}"; do
  say "running $exe under $(program_bits "$exe")-bit Wine${cap:+, TAVIKIT_VECTORS=$cap}"
  start=$SECONDS
  out=$(TAVIKIT_VECTORS=$cap run_windows "$exe" 2>&1 | tr -d '\r')
  rc=$?  # the program's own, through pipefail
  printf '%s\n' "$out"
  if [ "$rc" != 0 ] || ! grep -q '^\[  PASSED  \] [1-9]' <<<"$out"; then
    say "the Windows test program failed (exit code $rc${cap:+, TAVIKIT_VECTORS=$cap})"
    exit 1
  fi
  say "passed in $((SECONDS - start)) s"
done

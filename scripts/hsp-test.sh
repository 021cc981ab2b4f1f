#!/usr/bin/env bash
# Tavikit.DLL driven by real HSP scripts: builds the HSP3 compiler and runtime of
# ../shared/hsp-host (beside the clone), writes the scripts' data files with the project's writers,
# and runs the example scripts and the test scripts under Wine, each with tavikit.as, Tavikit.DLL
# and the data beside it. A script checks its own results and ends with exit code 0 or 1.
#
#   scripts/hsp-test.sh [WIN32_BUILD] [NATIVE_BUILD]     (default build/win32 build/native)
#
# Exit code: 0 when every script passes, 1 when one fails, 2 when the host cannot be built or run.
# Environment: TAVIKIT_HSP_HOST (the hsp-host folder), HSPHOST_DIR (its build and work folders).
set -uo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
win32=$(realpath -m "${1:-build/win32}")
native=$(realpath -m "${2:-build/native}")
host=$(realpath -m "${TAVIKIT_HSP_HOST:-../shared/hsp-host}")
hostdir=${HSPHOST_DIR:-/var/lib/tavikit-hsp}
say() { printf 'hsp-test: %s\n' "$*" >&2; }

for file in "$host/run-hsp.sh" "$win32/src/Tavikit.DLL" "$win32/src/tavikit.as" \
            "$native/tests/tavikit_script_data"; do
  [ -e "$file" ] || { say "missing $file (build the win32 and native presets first)"; exit 2; }
done
"$host/run-hsp.sh" --build && "$host/run-hsp.sh" --setup ||
  { say "cannot build the HSP host or copy the Wine prefix (is Wine set up?)"; exit 2; }

# Data files, made fresh for every run.
data=$(mktemp -d /tmp/tavikit-hsp-data.XXXXXX)
trap 'rm -rf "$data"' EXIT
"$native/tests/tavikit_script_data" "$data" || exit 2
files=("$win32/src/Tavikit.DLL" "$win32/src/tavikit.as" "$root/examples/check.as" "$data"/*)

# Sound through ALSA's null output: Wine's ALSA driver is pointed at it in the host's prefix, and
# ALSA's own configuration is kept out of the way.
WINEPREFIX=$hostdir/prefix WINEARCH=win32 WINEDEBUG=-all setsid -w wine reg add \
  'HKCU\Software\Wine\Drivers\winealsa.drv' /v ALSAOutputDevices /t REG_MULTI_SZ /d null /f \
  </dev/null >/dev/null 2>&1 || { say "cannot set Wine's sound output"; exit 2; }
printf 'pcm.!default {\n    type null\n}\npcm.null {\n    type null\n}\n' >"$data/alsa-null.conf"
export ALSA_CONFIG_PATH=$data/alsa-null.conf

# Every example and test script with its runtime: the GUI runtime where screens are drawn, the
# console runtime where none is needed. Every export must be called once in all_exports.hsp.
scripts=(--gui:examples/typical_frame.hsp --gui:examples/screens.hsp --gui:examples/blend.hsp
         --gui:examples/effects.hsp --gui:examples/cells.hsp --gui:examples/pictures.hsp
         --gui:examples/sound.hsp --cl:examples/input.hsp --gui:tests/hsp/all_exports.hsp)
failed=0
missing=$(grep -o '^#func [A-Za-z_0-9]*' "$win32/src/tavikit.as" | cut -d' ' -f2 |
          while read -r name; do
            [ "$(grep -cw "$name" tests/hsp/all_exports.hsp)" = 1 ] || echo "$name"
          done)
if [ -n "$missing" ]; then
  say "FAIL tests/hsp/all_exports.hsp: not called exactly once: $(echo $missing)"
  failed=1
fi
for entry in "${scripts[@]}"; do
  runtime=${entry%%:*} script=${entry#*:} name=$(basename "${entry#*:}" .hsp)
  start=$SECONDS
  # From an empty folder: the compiler looks for included files in the current folder first.
  (mkdir -p "$data/cwd" && cd "$data/cwd" &&
    "$host/run-hsp.sh" "$runtime" "$root/$script" "${files[@]}") >"$data/$name.log" 2>&1
  rc=$?
  if [ $rc = 0 ]; then
    say "pass $script ($((SECONDS - start)) s)"
  else
    say "FAIL $script (exit $rc)"
    cat "$hostdir/work/$name/failed.txt" 2>/dev/null && echo
    tail -n 5 "$data/$name.log"
    failed=1
  fi
done
exit $failed

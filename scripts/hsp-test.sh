#!/usr/bin/env bash
# Tavikit.DLL driven by real HSP scripts: builds the HSP3 compiler and runtime of
# ../shared/hsp-host (beside the clone), writes the scripts' data files with the project's writers,
# and runs the example scripts and the test scripts under Wine, each with tavikit.as, Tavikit.DLL
# and the data beside it. A script checks its own results and ends with exit code 0 or 1.
#
#   scripts/hsp-test.sh [WIN32_BUILD] [NATIVE_BUILD]     (default build/win32 build/native)
#   scripts/hsp-test.sh --release ZIP
#
# The scripts are compiled as HSP's users have them: Shift_JIS with Windows line ends (the
# examples and test scripts of the repository are converted from UTF-8 first, as the release
# does).
#
# With --release, the release zip instead, with only what it gives: it is unpacked into an empty
# folder; its help sources, Japanese (hsphelp/tavikit.hs) and English (hsphelp_en/tavikit.hs),
# read by the rules of the help format, must name the commands that common/tavikit.as declares
# with the same fields; its HTML reference, both pages, must find every link and picture; its
# LICENSE.txt must give the zlib licence; then every script of sample/tavikit/ runs with
# Tavikit.DLL, common/tavikit.as and the files of that folder beside it.
#
# Exit code: 0 when every script passes, 1 when one fails, 2 when the host cannot be built or run.
# Environment: TAVIKIT_HSP_HOST (the hsp-host folder), HSPHOST_DIR (its build and work folders).
set -uo pipefail
cd "$(dirname "$0")/.."
# shellcheck source=lib/bounded.sh
. scripts/lib/bounded.sh
host=$(realpath -m "${TAVIKIT_HSP_HOST:-../shared/hsp-host}")
hostdir=${HSPHOST_DIR:-/var/lib/tavikit-hsp}
say() { printf 'hsp-test: %s\n' "$*" >&2; }

data=$(mktemp -d /tmp/tavikit-hsp-data.XXXXXX)
sources=$(mktemp -d /tmp/tavikit-hsp-sources.XXXXXX)
trap 'rm -rf "$data" "$sources"' EXIT
failed=0
if [ "${1:-}" = --release ]; then
  zip=$(realpath -m "${2:-}")
  [ -f "$zip" ] || { say "missing release zip ${2:-} (./build.sh release makes it)"; exit 2; }
  unpacked=$data/unpacked
  mkdir "$unpacked" && (cd "$unpacked" && unzip -q "$zip") || { say "cannot unpack $zip"; exit 2; }
  for file in Tavikit.DLL common/tavikit.as hsphelp/tavikit.hs hsphelp_en/tavikit.hs \
              doc/tavikit/index.html doc/tavikit/index_en.html doc/tavikit/README.txt \
              doc/tavikit/README_ja.txt LICENSE.txt; do
    [ -f "$unpacked/$file" ] || { say "FAIL $zip: no $file"; exit 1; }
  done
  if cmake "-DHELP=$unpacked/hsphelp/tavikit.hs" "-DHELP_EN=$unpacked/hsphelp_en/tavikit.hs" \
       "-DDECLARATIONS=$unpacked/common/tavikit.as" \
       -P cmake/CheckReference.cmake >"$data/help.log" 2>&1 &&
     cmake "-DHTML=$unpacked/doc/tavikit/index.html" -P cmake/CheckHtml.cmake >>"$data/help.log" 2>&1 &&
     grep -q 'Permission is granted to anyone to use this software for any purpose' \
       "$unpacked/LICENSE.txt"; then
    say "pass hsphelp/tavikit.hs, hsphelp_en/tavikit.hs, common/tavikit.as, doc/tavikit/index.html," \
        "doc/tavikit/index_en.html and LICENSE.txt"
  else
    say "FAIL the help, the declarations, the HTML reference or the licence of $zip"
    cat "$data/help.log" >&2
    failed=1
  fi
  samples=$unpacked/sample/tavikit
  files=("$unpacked/Tavikit.DLL" "$unpacked/common/tavikit.as")
  for file in "$samples"/*; do
    case $file in *.hsp) ;; *) files+=("$file") ;; esac
  done
  # The GUI runtime for scripts that open a screen, the console runtime for the others.
  scripts=()
  for script in "$samples"/*.hsp; do
    if grep -Eq '^[[:space:]]*(screen|buffer)[[:space:]]' "$script"; then
      scripts+=("--gui:$script")
    else
      scripts+=("--cl:$script")
    fi
  done
else
  win32=$(realpath -m "${1:-build/win32}")
  native=$(realpath -m "${2:-build/native}")
  for file in "$win32/src/Tavikit.DLL" "$win32/src/tavikit.as" "$native/tests/tavikit_script_data"; do
    [ -e "$file" ] || { say "missing $file (build the win32 and native presets first)"; exit 2; }
  done
  # Data files, made fresh for every run; the scripts as HSP's users have them.
  "$native/tests/tavikit_script_data" "$data" || exit 2
  mkdir -p "$sources/examples" "$sources/tests/hsp"
  for file in examples/*.hsp examples/check.as tests/hsp/*.hsp; do
    iconv -f UTF-8 -t CP932 "$file" | sed 's/\r$//; s/$/\r/' >"$sources/$file" ||
      { say "FAIL $file: not UTF-8 that Shift_JIS can hold"; exit 1; }
  done
  files=("$win32/src/Tavikit.DLL" "$win32/src/tavikit.as" "$sources/examples/check.as" "$data"/*)
  # Every example and test script with its runtime: the GUI runtime where screens are drawn, the
  # console runtime where none is needed. Every export must be called once in all_exports.hsp.
  scripts=()
  for entry in --gui:examples/typical_frame.hsp --gui:examples/screens.hsp --gui:examples/blend.hsp \
               --gui:examples/effects.hsp --gui:examples/cells.hsp --gui:examples/pictures.hsp \
               --gui:examples/sound.hsp --cl:examples/input.hsp --gui:tests/hsp/all_exports.hsp; do
    scripts+=("${entry%%:*}:$sources/${entry#*:}")
  done
  missing=$(grep -o '^#func [A-Za-z_0-9]*' "$win32/src/tavikit.as" | cut -d' ' -f2 |
            while read -r name; do
              [ "$(grep -cw "$name" tests/hsp/all_exports.hsp)" = 1 ] || echo "$name"
            done)
  if [ -n "$missing" ]; then
    say "FAIL tests/hsp/all_exports.hsp: not called exactly once: $(echo $missing)"
    failed=1
  fi
fi

[ -e "$host/run-hsp.sh" ] || { say "missing $host/run-hsp.sh"; exit 2; }
bounded 1800 "building the HSP host" "$host/run-hsp.sh" --build &&
  bounded 600 "copying the Wine prefix for the HSP host" "$host/run-hsp.sh" --setup ||
  { say "cannot build the HSP host or copy the Wine prefix (is Wine set up?)"; exit 2; }

# Sound through ALSA's null output: Wine's ALSA driver is pointed at it in the host's prefix, and
# ALSA's own configuration is kept out of the way.
WINEPREFIX=$hostdir/prefix WINEARCH=win32 WINEDEBUG=-all bounded 300 "wine reg add" setsid -w wine reg add \
  'HKCU\Software\Wine\Drivers\winealsa.drv' /v ALSAOutputDevices /t REG_MULTI_SZ /d null /f \
  </dev/null >/dev/null 2>&1 || { say "cannot set Wine's sound output"; exit 2; }
printf 'pcm.!default {\n    type null\n}\npcm.null {\n    type null\n}\n' >"$data/alsa-null.conf"
export ALSA_CONFIG_PATH=$data/alsa-null.conf

for entry in "${scripts[@]}"; do
  runtime=${entry%%:*} script=${entry#*:} name=$(basename "${entry#*:}" .hsp)
  start=$SECONDS
  # From an empty folder: the compiler looks for included files in the current folder first.
  (mkdir -p "$data/cwd" && cd "$data/cwd" &&
    bounded 600 "$name.hsp" "$host/run-hsp.sh" "$runtime" "$script" "${files[@]}") >"$data/$name.log" 2>&1
  rc=$?
  if [ $rc = 0 ]; then
    say "pass ${script#"${unpacked:-$sources}"/} ($((SECONDS - start)) s)"
  else
    say "FAIL ${script#"${unpacked:-$sources}"/} (exit $rc)"
    cat "$hostdir/work/$name/failed.txt" 2>/dev/null && echo
    tail -n 5 "$data/$name.log"
    failed=1
  fi
done
exit $failed

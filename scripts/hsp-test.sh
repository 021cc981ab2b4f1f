#!/usr/bin/env bash
# The library driven by real HSP scripts in HSP's three kinds of runtime: builds the HSP3 compiler
# and runtimes of ../shared/hsp-host (beside the clone), writes the scripts' data files with the
# project's writers, and runs the example scripts and the test scripts, each with tavikit.as, the
# library and the data beside it:
#   - hsp3 (32-bit, under Wine) with Tavikit.DLL: every script, the GUI runtime where a script
#     opens a screen and the console runtime where it does not;
#   - hsp3_64 (64-bit, under 64-bit Wine) with Tavikit64.DLL: every script, and
#     tests/hsp/start_64.hsp, which includes hsp3_64.as before tavikit.as as a 64-bit script does;
#   - hsp3cl (Linux, natively) with libtavikit.so.2: the console scripts.
# A script checks its own results and ends with exit code 0 or 1. The same tavikit.as serves all
# three.
#
#   scripts/hsp-test.sh [WIN32_BUILD] [NATIVE_BUILD] [WIN64_BUILD]
#                                       (default build/win32 build/native build/win64)
#   scripts/hsp-test.sh --release ZIP
#
# The scripts are compiled as HSP's users have them: for the 32-bit runtimes Shift_JIS with
# Windows line ends (the examples and test scripts of the repository are converted from UTF-8
# first, as the release does), for hsp3_64 (which reads UTF-8) and hsp3cl UTF-8.
#
# With --release, the release zip instead, with only what it gives: it is unpacked into an empty
# folder; its help sources, Japanese (hsphelp/tavikit.hs) and English (hsphelp_en/tavikit.hs),
# read by the rules of the help format, must name the commands that common/tavikit.as declares
# with the same fields; its HTML reference, both pages, must find every link and picture; its
# LICENSE.txt must give the zlib licence; then every script of sample/tavikit/ runs in hsp3 with
# Tavikit.DLL and in hsp3_64 with Tavikit64.DLL, each with common/tavikit.as and the files of that
# folder beside it, and tests/hsp/start_64.hsp in hsp3_64 with the zip's tavikit.as.
#
# Exit code: 0 when every script passes, 1 when one fails, 2 when a host cannot be built or run.
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
# A script that opens no screen runs in the console runtimes too.
is_console() { ! grep -Eq '^[[:space:]]*(screen|buffer)[[:space:]]' "$1"; }
# The scripts as the 32-bit runtimes read them: Shift_JIS, Windows line ends.
to_cp932() { iconv -f UTF-8 -t CP932 "$1" | sed 's/\r$//; s/$/\r/' >"$2"; }

if [ "${1:-}" = --release ]; then
  zip=$(realpath -m "${2:-}")
  [ -f "$zip" ] || { say "missing release zip ${2:-} (./build.sh release makes it)"; exit 2; }
  unpacked=$data/unpacked
  mkdir "$unpacked" && (cd "$unpacked" && unzip -q "$zip") || { say "cannot unpack $zip"; exit 2; }
  for file in Tavikit.DLL Tavikit64.DLL common/tavikit.as hsphelp/tavikit.hs hsphelp_en/tavikit.hs \
              doc/tavikit/index.html doc/tavikit/index_en.html doc/tavikit/README.txt \
              doc/tavikit/README_ja.txt LICENSE.txt sdk/lib/libtavikit64.dll.a sdk/lib/Tavikit64.def; do
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
  shared=("$unpacked/common/tavikit.as")
  for file in "$samples"/*; do
    case $file in *.hsp) ;; *) shared+=("$file") ;; esac
  done
  files32=("$unpacked/Tavikit.DLL" "${shared[@]}")
  # hsp3_64 reads UTF-8: the samples (and check.as) back from Shift_JIS.
  mkdir -p "$sources/utf8"
  for file in "$samples"/*.hsp "$samples"/*.as; do
    iconv -f CP932 -t UTF-8 "$file" | tr -d '\r' >"$sources/utf8/$(basename "$file")"
  done
  files64=("$unpacked/Tavikit64.DLL" "${shared[@]/#$samples\/check.as/$sources/utf8/check.as}")
  runs=()
  for script in "$samples"/*.hsp; do
    mode=--gui
    is_console "$script" && mode=--cl
    runs+=("x86 $mode|$script" "x64|$sources/utf8/$(basename "$script")")
  done
  runs+=("x64|$PWD/tests/hsp/start_64.hsp")
else
  win32=$(realpath -m "${1:-build/win32}")
  native=$(realpath -m "${2:-build/native}")
  win64=$(realpath -m "${3:-build/win64}")
  for file in "$win32/src/Tavikit.DLL" "$win32/src/tavikit.as" "$native/tests/tavikit_script_data" \
              "$native/src/libtavikit.so.2" "$win64/src/Tavikit64.DLL"; do
    [ -e "$file" ] || { say "missing $file (build the win32, native and win64 presets first)"; exit 2; }
  done
  # Data files, made fresh for every run; the scripts as HSP's users have them.
  "$native/tests/tavikit_script_data" "$data" || exit 2
  mkdir -p "$sources/examples" "$sources/tests/hsp"
  for file in examples/*.hsp examples/check.as tests/hsp/*.hsp; do
    to_cp932 "$file" "$sources/$file" || { say "FAIL $file: not UTF-8 that Shift_JIS can hold"; exit 1; }
  done
  shared=("$win32/src/tavikit.as" "$data"/*)
  files32=("$win32/src/Tavikit.DLL" "$sources/examples/check.as" "${shared[@]}")
  files64=("$win64/src/Tavikit64.DLL" "$PWD/examples/check.as" "${shared[@]}")
  fileslinux=("$native/src/libtavikit.so.2" "$PWD/examples/check.as" "${shared[@]}")
  # Every example and test script: in hsp3 (the GUI runtime where screens are drawn, the console
  # runtime where none is needed) and hsp3_64, and the console ones in hsp3cl. Every export must
  # be called once in all_exports.hsp.
  runs=()
  for script in examples/*.hsp tests/hsp/*.hsp; do
    [ "$script" = tests/hsp/start_64.hsp ] && continue
    mode=--gui
    is_console "$script" && mode=--cl
    runs+=("x86 $mode|$sources/$script" "x64|$PWD/$script")
    is_console "$script" && runs+=("linux|$PWD/$script")
  done
  runs+=("x64|$PWD/tests/hsp/start_64.hsp")
  missing=$(grep -Eo '^#func ([A-Za-z_0-9]+) \1 ' "$win32/src/tavikit.as" | cut -d' ' -f2 |
            while read -r name; do
              [ "$(grep -cw "$name" tests/hsp/all_exports.hsp)" = 1 ] || echo "$name"
            done)
  if [ -n "$missing" ]; then
    say "FAIL tests/hsp/all_exports.hsp: not called exactly once: $(echo $missing)"
    failed=1
  fi
fi

[ -e "$host/run-hsp.sh" ] || { say "missing $host/run-hsp.sh"; exit 2; }
need_linux=0
for run in "${runs[@]}"; do [ "${run%%|*}" = linux ] && need_linux=1; done
bounded 1800 "building the HSP host" "$host/run-hsp.sh" --build &&
  bounded 1800 "building the HSP host's 64-bit runtime" "$host/run-hsp.sh" --arch x64 --build &&
  { [ $need_linux = 0 ] || bounded 600 "building the HSP host's Linux runtime" "$host/run-hsp.sh" --linux --build; } &&
  bounded 600 "copying the Wine prefix for the HSP host" "$host/run-hsp.sh" --setup &&
  bounded 600 "creating the HSP host's 64-bit prefix" "$host/run-hsp.sh" --arch x64 --setup ||
  { say "cannot build the HSP host or set up its Wine prefixes (is Wine set up?)"; exit 2; }

# Sound through ALSA's null output: Wine's ALSA driver is pointed at it in the host's prefixes, and
# ALSA's own configuration is kept out of the way; outside Windows the library's null output.
sound_to_null() {  # PREFIX ARCH LOADER
  WINEPREFIX=$1 WINEARCH=$2 WINEDEBUG=-all bounded 300 "wine reg add" setsid -w "$3" reg add \
    'HKCU\Software\Wine\Drivers\winealsa.drv' /v ALSAOutputDevices /t REG_MULTI_SZ /d null /f \
    </dev/null >/dev/null 2>&1
}
sound_to_null "$hostdir/prefix" win32 wine &&
  WINESERVER=/usr/lib/wine/wineserver64 WINELOADER=/usr/lib/wine/wine64 \
    sound_to_null "$hostdir/prefix64" win64 /usr/lib/wine/wine64 ||
  { say "cannot set Wine's sound output"; exit 2; }
printf 'pcm.!default {\n    type null\n}\npcm.null {\n    type null\n}\n' >"$data/alsa-null.conf"
export ALSA_CONFIG_PATH=$data/alsa-null.conf

declare -A passed=()
for run in "${runs[@]}"; do
  how=${run%%|*} script=${run#*|} name=$(basename "${run#*|}" .hsp)
  case $how in
    x86*) runtime=hsp3 options=(--${how#x86 --}) files=("${files32[@]}") ;;
    x64) runtime=hsp3_64 options=(--arch x64) files=("${files64[@]}") ;;
    linux) runtime=hsp3cl options=(--linux) files=("${fileslinux[@]}") ;;
  esac
  start=$SECONDS
  # From an empty folder: the compiler looks for included files in the current folder first.
  (mkdir -p "$data/cwd" && cd "$data/cwd" && export LD_LIBRARY_PATH=. TAVIKIT_AUDIO=null &&
    bounded 600 "$name.hsp" "$host/run-hsp.sh" "${options[@]}" "$script" "${files[@]}") >"$data/$name.log" 2>&1
  rc=$?
  shown=${script#"${unpacked:-$sources}"/}
  [ "${script#"$sources/utf8/"}" != "$script" ] && shown=sample/tavikit/${script#"$sources/utf8/"}
  shown=${shown#"$PWD/"}
  if [ $rc = 0 ]; then
    say "pass $shown in $runtime ($((SECONDS - start)) s)"
    passed[$runtime]+=" $name"
  else
    say "FAIL $shown in $runtime (exit $rc)"
    cat "$hostdir/work/$name/failed.txt" 2>/dev/null && echo
    tail -n 5 "$data/$name.log"
    failed=1
  fi
done
for runtime in hsp3 hsp3_64 hsp3cl; do
  [ -n "${passed[$runtime]:-}" ] && say "passed in $runtime:${passed[$runtime]}"
done
exit $failed

#!/usr/bin/env bash
# Tavikit.DLL and Tavikit64.DLL inside real Windows processes: sets Wine up where it is missing
# (scripts/wine-setup.sh), runs each build's export suite, the same behaviour tests as the native
# and 32-bit suites plus the checks only a Windows process can make, at every vector cap
# (scripts/wine-suite.sh), then the tool's suite against tavikit.exe.
#
#   scripts/wine-test.sh [WIN32_BUILD [WIN64_BUILD]]    default: build/win32 build/win64 (a
#                                                       WIN64_BUILD without the suite is skipped)
#   scripts/wine-test.sh --setup                        only set Wine up
#   scripts/wine-test.sh --run PROGRAM.exe [ARGS...]    run one Windows program (32- or 64-bit),
#                                                       pass its exit code
#   scripts/wine-test.sh --stop                         stop the persistent wineservers
#
# Settings: see scripts/lib/wine.sh. Exit codes: 0 everything passed; 1 a test failed; 2 Wine
# could not be set up here (one line on stderr says why, the details are in the log named there).
set -uo pipefail
SCRIPTS=$(cd "$(dirname "$0")" && pwd)
WINE_SCRIPT=wine-test
# shellcheck source=lib/bounded.sh
. "$SCRIPTS/lib/bounded.sh"
# shellcheck source=lib/wine.sh
. "$SCRIPTS/lib/wine.sh"

case "${1:-}" in
  -h | --help)
    sed -n '2,/^set -uo/p' "$0" | sed '$d; s/^# \{0,1\}//'
    exit 0
    ;;
  --setup) exec "$SCRIPTS/wine-setup.sh" ;;
  --stop) exec "$SCRIPTS/wine-setup.sh" --stop ;;
  --run)
    shift
    [ $# -ge 1 ] || { say "--run needs a program"; exit 2; }
    "$SCRIPTS/wine-setup.sh" --quiet || exit 2
    run_windows "$@"
    exit $?
    ;;
esac

WIN32_BUILD=${1:-build/win32}
WIN64_BUILD=${2:-build/win64}
"$SCRIPTS/wine-setup.sh" || exit 2
failed=0
"$SCRIPTS/wine-suite.sh" --dll "$WIN32_BUILD/tests/tavikit_export_tests.exe" || failed=1
if [ -f "$WIN64_BUILD/tests/tavikit_export_tests.exe" ]; then
  "$SCRIPTS/wine-suite.sh" --dll "$WIN64_BUILD/tests/tavikit_export_tests.exe" || failed=1
else
  say "no $WIN64_BUILD/tests/tavikit_export_tests.exe: Tavikit64.DLL's suite not run"
fi
# The tool's suite against tavikit.exe, which lies beside it in bin/.
"$SCRIPTS/wine-suite.sh" "$WIN32_BUILD/bin/tavikit_tool_tests.exe" || failed=1
if [ $failed = 0 ]; then say "passed"; else say "FAILED"; fi
exit $failed

#!/usr/bin/env bash
# Plants each fault of a fault list in the library, one at a time, in a scratch copy of the tree,
# and reports which of them the test suite catches. Run by hand; never part of the test command.
#
#   scripts/plant-faults.sh [NAME-PATTERN]     faults whose name matches the pattern (grep -E)
#
# Environment: FAULTS (default scripts/faults.txt), PRESET (default native; sanitize also works),
# SCRATCH (default /tmp/tavikit-faults-$PRESET-TREE, TREE a hash of this tree's path: kept between
# runs, so rebuilds are incremental). Benchmarks are left out of the scratch build.
#
# A fault is one line of the list: name | file | exact text | replacement. The text must occur
# exactly once in the file; otherwise the fault is reported as n/a (the code has changed). For
# each fault the file is patched, the library, the tool and the test programs are rebuilt, the
# export, unit and tool tests run, and the file is restored. "caught" means a test failed (or crashed, or timed
# out); "escaped" means every test passed; "no-build" means the planted text did not compile.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
preset=${PRESET:-native}
faults=$(realpath "${FAULTS:-scripts/faults.txt}")
scratch=${SCRATCH:-/tmp/tavikit-faults-$preset-$(printf %s "$root" | md5sum | cut -c1-8)}
pattern=${1:-.}
tests='^(export_tests.*|unit_tests|tool_tests)$'

# Only files whose content changed are copied, with a new time stamp, so that an incremental
# build sees every change, including a restored file.
mkdir -p "$scratch"
python3 - "$root" "$scratch" <<'PY'
import filecmp, os, shutil, sys
root, scratch = sys.argv[1:3]
skip = {"build", ".git"}
wanted = set()
for here, dirs, files in os.walk(root):
    if here == root:
        dirs[:] = [d for d in dirs if d not in skip]
    for f in files:
        rel = os.path.relpath(os.path.join(here, f), root)
        wanted.add(rel)
        dst = os.path.join(scratch, rel)
        if not os.path.exists(dst) or not filecmp.cmp(os.path.join(root, rel), dst, shallow=False):
            os.makedirs(os.path.dirname(dst), exist_ok=True)
            shutil.copyfile(os.path.join(root, rel), dst)
            shutil.copymode(os.path.join(root, rel), dst)
for here, dirs, files in os.walk(scratch):
    if here == scratch:
        dirs[:] = [d for d in dirs if d not in skip]
    for f in files:
        if os.path.relpath(os.path.join(here, f), scratch) not in wanted:
            os.remove(os.path.join(here, f))
PY
cd "$scratch"
nice cmake --preset "$preset" -DTAVIKIT_BENCHMARKS=OFF -DTAVIKIT_TOOLS=ON >/dev/null

build_and_test() {
  nice cmake --build --preset "$preset" >"$scratch/build.log" 2>&1 || return 2
  ctest --preset "$preset" -R "$tests" --timeout 600 >"$scratch/test.log" 2>&1 || return 1
  return 0
}

echo "checking the unchanged tree"
if ! build_and_test; then
  echo "the tests fail without any fault planted; see $scratch/build.log and test.log" >&2
  exit 1
fi

# Replaces the one occurrence of $2 in file $1 by $3; exit status 3 when it is not there once.
plant() {
  python3 - "$@" <<'PY'
import sys
path, old, new = sys.argv[1:4]
text = open(path, encoding="utf-8").read()
if text.count(old) != 1:
    sys.exit(3)
open(path, "w", encoding="utf-8").write(text.replace(old, new))
PY
}

caught=0 escaped=0 missing=0 nobuild=0
report=()
mapfile -t lines <"$faults"  # read once: the list may be edited while the run goes on
for line in "${lines[@]}"; do
  [[ -z "$line" || "$line" == \#* ]] && continue
  name=${line%% | *}
  rest=${line#* | }
  file=${rest%% | *}
  rest=${rest#* | }
  old=${rest%% | *}
  new=${rest#* | }
  [[ "$name" =~ $pattern ]] || continue
  if [ ! -f "$file" ] || ! plant "$file" "$old" "$new"; then
    result=n/a
    missing=$((missing + 1))
  else
    set +e
    build_and_test
    status=$?
    set -e
    cp "$root/$file" "$file"
    case $status in
      0) result=escaped; escaped=$((escaped + 1)) ;;
      1) result=caught; caught=$((caught + 1)) ;;
      *) result=no-build; nobuild=$((nobuild + 1)) ;;
    esac
  fi
  printf '%-28s %s\n' "$name" "$result"
  report+=("$(printf '%-28s %-9s %s' "$name" "$result" "$file")")
done

echo
printf '%-28s %-9s %s\n' fault result file
printf '%s\n' "${report[@]}"
echo
echo "caught $caught, escaped $escaped, n/a $missing, no-build $nobuild ($preset build)"

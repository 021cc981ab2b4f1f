#!/usr/bin/env bash
# Runs every fuzz target of a `fuzz` preset build for SECONDS each (default 20), one after the
# other, each on its own corpus under build/fuzz/corpus/ seeded by tavikit_fuzz_seeds. A failure
# stops the run with the target's report; the input is saved as build/fuzz/crash-<target>-*.
#
#   scripts/fuzz.sh [SECONDS] [TARGET...]
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${1:-20}"
shift || true
build=build/fuzz
corpus="$build/corpus"
seeds="$build/seeds"

rm -rf "$seeds"
"$build/fuzz/tavikit_fuzz_seeds" "$seeds" >/dev/null

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for exe in "$build"/fuzz/fuzz_*; do targets+=("$(basename "$exe")"); done
fi

for name in "${targets[@]}"; do
  mkdir -p "$corpus/$name"
  dirs=("$corpus/$name")
  [ -d "$seeds/$name" ] && dirs+=("$seeds/$name")
  [ -d "$seeds/pictures" ] && dirs+=("$seeds/pictures")
  printf '== fuzz: %s for %ss\n' "$name" "$seconds"
  log="$build/$name.log"
  rc=0
  ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    "$build/fuzz/$name" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -artifact_prefix="$build/crash-$name-" -print_final_stats=1 "${dirs[@]}" >"$log" 2>&1 || rc=$?
  grep -E '^stat::number_of_executed_units' "$log" || true
  if [ "$rc" != 0 ]; then
    grep -v -E '^#[0-9]+' "$log" | tail -40 >&2
    echo "fuzz: $name failed (exit $rc); the input is saved under $build/crash-$name-*" >&2
    exit 1
  fi
done

#!/usr/bin/env bash
# Tavikit64.DLL timed under 64-bit Wine beside the 64-bit library timed natively: the same
# benchmarks (bench/), run in turn, ROUNDS times each, and a table of each subject's fastest time
# in both and their ratio (the fastest, not the median: on a shared machine other work only ever
# adds time, and here it has added up to half of a subject's time to one run in three; the
# medians' ratio is shown beside it). Wine runs 64-bit code natively, so the ratio is the DLL's
# code against the shared library's, except where a subject calls the file system (the picture
# loads and their open-read-write floor go through Wine's file calls, which cost several times
# Linux's): those are shown apart and left out of the verdict, and the decoder alone (DecodeKind)
# stands for them. The memcpy of the frame's rows, the unit of the other tables, is shown as a
# baseline: it is the C runtime's (glibc's, or Wine's msvcrt), not the library's.
#
#   scripts/bench-win64.sh [NATIVE_BUILD] [WIN64_BUILD] [ROUNDS]   (build/native build/win64 3)
#
# Exit code: 0 when every subject outside the file system is within LIMIT (1.15, or
# TAVIKIT_BENCH_LIMIT) of the 64-bit library's time; 1 when one is not; 2 when it cannot run.
set -uo pipefail
SCRIPTS=$(cd "$(dirname "$0")" && pwd)
WINE_SCRIPT=bench-win64
# shellcheck source=lib/bounded.sh
. "$SCRIPTS/lib/bounded.sh"
# shellcheck source=lib/wine.sh
. "$SCRIPTS/lib/wine.sh"
native=$(realpath -m "${1:-build/native}")
win64=$(realpath -m "${2:-build/win64}")
rounds=${3:-3}
limit=${TAVIKIT_BENCH_LIMIT:-1.15}
filter='ZoomTavikit|rotation_256_tavikit|mozcopy_block8_tavikit|gmozic_block8_tavikit|LoadTavikit|BM_load_open_read_write|DecodeKind|gcopy2_keyed|chibi_Put_transparent|HGCP320_tavikit|tavi_HGCP320|GFade_640x480/128|blend_640x480/gcopyf$|BM_frame_memcpy_480_rows'
options=(--benchmark_filter="$filter" --benchmark_min_time=0.5)
for program in "$native/bench/tavikit_bench" "$win64/bench/tavikit_bench.exe" "$win64/bench/Tavikit64.DLL"; do
  [ -f "$program" ] || { say "missing $program (build the native and win64 presets)"; exit 2; }
done
"$SCRIPTS/wine-setup.sh" || exit 2
out=$(mktemp -d /tmp/tavikit-bench-win64.XXXXXX)
trap 'rm -rf "$out"' EXIT
for round in $(seq 1 "$rounds"); do
  say "round $round of $rounds: the 64-bit library"
  bounded 1200 "the native benchmarks" "$native/bench/tavikit_bench" "${options[@]}" \
    --tavibench_times="$out/native-$round.tsv" >"$out/native-$round.log" 2>&1 ||
    { tail -n 5 "$out/native-$round.log"; exit 2; }
  say "round $round of $rounds: Tavikit64.DLL under 64-bit Wine"
  TAVIKIT_WINE_TIMEOUT=1200 run_windows "$win64/bench/tavikit_bench.exe" "${options[@]}" \
    --tavibench_times=win64-times.tsv >"$out/win64-$round.log" 2>&1 ||
    { tail -n 5 "$out/win64-$round.log"; exit 2; }
  mv "$win64/bench/win64-times.tsv" "$out/win64-$round.tsv"
done
python3 - "$out" "$rounds" "$limit" <<'PY'
import statistics, sys
out, rounds, limit = sys.argv[1], int(sys.argv[2]), float(sys.argv[3])
def times(kind, pick):
    runs = []
    for r in range(1, rounds + 1):
        with open(f"{out}/{kind}-{r}.tsv") as f:
            runs.append({name: float(t) for name, t in (line.split("\t") for line in f if line.strip())})
    return {name: pick([run[name] for run in runs]) for name in runs[0]
            if all(name in run for run in runs)}
native, dll = times("native", min), times("win64", min)
native_median, dll_median = times("native", statistics.median), times("win64", statistics.median)
files = ("LoadTavikit", "BM_load_open_read_write")
baselines = ("BM_frame_memcpy",)
print(f"\n{'subject':48} {'libtavikit.so':>14} {'Tavikit64.DLL':>14} {'ratio':>7} {'medians':>8}")
worst, over = 0.0, []
for name in sorted(set(native) & set(dll)):
    ratio = dll[name] / native[name]
    note = ""
    if name.startswith(files):
        note = "  (Wine's file calls)"
    elif name.startswith(baselines):
        note = "  (baseline: the C runtime's memcpy)"
    else:
        worst = max(worst, ratio)
        if ratio > limit:
            over.append(name)
    print(f"{name:48} {native[name] / 1e3:11.1f} us {dll[name] / 1e3:11.1f} us {ratio:6.2f}x"
          f" {dll_median[name] / native_median[name]:7.2f}x{note}")
print(f"\nfastest of {rounds} runs each, in turn; worst ratio outside the file system {worst:.2f}x"
      f" (limit {limit}x)")
if over:
    print("over the limit: " + ", ".join(over))
    sys.exit(1)
PY

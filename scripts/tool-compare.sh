#!/usr/bin/env bash
# tavikit.exe under Wine against the Linux tool: the same commands on the same inputs, each run
# from a folder of its own holding the same files under the same names, so that every message
# names the same paths. Compared:
#   - exit status, standard output and standard error of every command, byte for byte;
#   - every file the commands wrote: PNGs by their decoded indices and palette (the two tools
#     encode through different codecs), everything else byte for byte;
#   - a Japanese file name (絵.png) through encode, decode (its palette found beside it by name),
#     pack and list;
#   - failures: a missing folder, bad PNGs, and a write that fails on a full disk (a 64 KiB
#     tmpfs, where the machine lets root mount one), which keeps the old file and leaves no
#     temporary file.
#
#   scripts/tool-compare.sh [WIN32_BUILD] [NATIVE_BUILD]    (defaults build/win32, build/native)
#
# Needs python3 (inputs and the PNG comparison) and Wine as scripts/wine-test.sh sets it up.
# Exits with 0 when everything matches, 1 when anything differs.
set -uo pipefail
cd "$(dirname "$0")/.."
WIN=${1:-build/win32}
NATIVE=${2:-build/native}
export LANG=C.UTF-8 LC_ALL=C.UTF-8  # Wine spells UTF-16 names as UTF-8 only in a UTF-8 locale
say() { printf 'tool-compare: %s\n' "$*"; }
for tool in "$NATIVE/bin/tavikit" "$WIN/bin/tavikit.exe"; do
  [ -f "$tool" ] || { say "no $tool: build the native and win32 presets first"; exit 1; }
done
LINUX_TOOL=$(realpath "$NATIVE/bin/tavikit")
WINE_TEST=$PWD/scripts/wine-test.sh
WORK=$(mktemp -d /tmp/tavikit-compare.XXXXXX)
mounts=()
cleanup() {
  for m in "${mounts[@]}"; do umount "$m" 2>/dev/null; done
  [ -n "${TAVIKIT_COMPARE_KEEP:-}" ] || rm -rf "$WORK"
}
trap cleanup EXIT
mkdir -p "$WORK/inputs" "$WORK/linux" "$WORK/windows"

# ------------------------------------------------------------------ inputs
python3 - "$WORK/inputs" <<'PY' || { say "python3 could not write the inputs"; exit 1; }
import os, random, struct, sys, zlib
out = sys.argv[1]
rng = random.Random(21)

def chunk(kind, body):
    return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))

def png(name, w, h, ctype, depth, rows, plte=None, trns=None):
    data = b"".join(b"\0" + r for r in rows)
    body = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, depth, ctype, 0, 0, 0))
    if plte: body += chunk(b"PLTE", plte)
    if trns: body += chunk(b"tRNS", trns)
    body += chunk(b"IDAT", zlib.compress(data, 9)) + chunk(b"IEND", b"")
    with open(os.path.join(out, name), "wb") as f: f.write(body)

def runs(n, colours):  # runs of 1 to 24 equal indices, as artists' pictures have
    v = []
    while len(v) < n: v += [rng.randrange(colours)] * rng.randint(1, 24)
    return v[:n]

def indexed(name, w, h, depth, colours, trns=None):
    v, rows, per = runs(w * h, colours), [], 8 // depth
    for y in range(h):
        row = bytearray((w * depth + 7) // 8)
        for x in range(w):
            row[x // per] |= v[y * w + x] << (8 - depth - (x % per) * depth)
        rows.append(bytes(row))
    png(name, w, h, 3, depth, rows, bytes(rng.randrange(256) for _ in range(3 * colours)), trns)

indexed("p8.png", 97, 61, 8, 256)
indexed("p4.png", 33, 17, 4, 16)
indexed("p2.png", 19, 7, 2, 4)
indexed("p1.png", 70, 9, 1, 2)
indexed("few.png", 40, 30, 8, 40)
indexed("trns.png", 40, 30, 8, 5, trns=b"\xff\x00")
indexed("絵.png", 48, 32, 8, 200)
png("rgb.png", 64, 48, 2, 8, [bytes(rng.randrange(256) for _ in range(64 * 3)) for _ in range(48)])
png("rgba.png", 32, 16, 6, 8, [bytes(rng.randrange(256) if i % 4 != 3 else rng.choice((0, 255))
                                     for i in range(32 * 4)) for _ in range(16)])
png("wide.png", 512, 256, 3, 8, [bytes(rng.randrange(256) for _ in range(512)) for _ in range(256)],
    bytes(rng.randrange(256) for _ in range(768)))
samples = bytes(128 + int(60 * ((i // 40) % 2 * 2 - 1)) for i in range(11025))
wav = b"RIFF" + struct.pack("<I", 36 + len(samples)) + b"WAVEfmt " + struct.pack(
    "<IHHIIHH", 16, 1, 1, 22050, 22050, 1, 8) + b"data" + struct.pack("<I", len(samples)) + samples
with open(os.path.join(out, "beep.wav"), "wb") as f: f.write(wav)
with open(os.path.join(out, "photo.png"), "wb") as f: f.write(b"\xff\xd8\xff\xe0\0\x10JFIF\0")
with open(os.path.join(out, "cut.png"), "wb") as f: f.write(open(os.path.join(out, "p8.png"), "rb").read()[:-40])
with open(os.path.join(out, "lead.exe"), "wb") as f: f.write(b"MZ" + bytes(298))
with open(os.path.join(out, "old.tk"), "wb") as f: f.write(b"\1\2\3")
PY
for side in linux windows; do
  cp -r "$WORK/inputs/." "$WORK/$side/"
  mkdir -p "$WORK/$side/batch" "$WORK/$side/assets" "$WORK/$side/out" "$WORK/$side/small"
  # A 64 KiB disk holding the old file of the failed write.
  if mount -t tmpfs -o size=64k tmpfs "$WORK/$side/small" 2>/dev/null; then
    mounts+=("$WORK/$side/small")
    cp "$WORK/inputs/old.tk" "$WORK/$side/small/old.tk"
  fi
done
cp "$WIN/bin/tavikit.exe" "$WORK/windows/tavikit.exe"

# ------------------------------------------------------------------ the commands
commands=0 same=0
differ() { say "DIFFERENT: $*"; }
# run NAME ARGS...: the command in both folders; status and both streams compared (only the
# status while STATUS_ONLY=1).
run() {
  local name=$1
  shift
  commands=$((commands + 1))
  (cd "$WORK/linux" && "$LINUX_TOOL" "$@" >".$name.out" 2>".$name.err"; echo $? >".$name.rc")
  (cd "$WORK/windows" && "$WINE_TEST" --run "$WORK/windows/tavikit.exe" "$@" >".$name.out" \
    2>".$name.err"; echo $? >".$name.rc")
  local ok=1 part
  local parts="rc out err"
  [ "${STATUS_ONLY:-0}" = 1 ] && parts=rc
  for part in $parts; do
    if ! cmp -s "$WORK/linux/.$name.$part" "$WORK/windows/.$name.$part"; then
      ok=0
      differ "$name ($part): $*"
      diff "$WORK/linux/.$name.$part" "$WORK/windows/.$name.$part" | head -5
    fi
  done
  [ $ok = 1 ] && same=$((same + 1))
  return 0
}

for kind in TK00 TK10 TK01 TK11 auto; do
  run "encode-$kind" encode p8.png -o "p8-$kind.tk" --kind "$kind"
  run "decode-$kind" decode "p8-$kind.tk" --palette p8.png -o "p8-$kind-back.png"
done
for kind in TK10 TK11 auto; do
  run "skip-$kind" encode p8.png -o "skip-$kind.tk" --kind="$kind" --skip 7
  run "skip-decode-$kind" decode "skip-$kind.tk" --background 9 -o "skip-$kind.png"
done
run encode-depths encode p1.png p2.png p4.png wide.png -o batch/
for depth in 1 2 4; do run "decode-p$depth" decode "batch/p$depth.tk" --palette "p$depth.png" -o "p$depth-back.png"; done
run encode-trns encode trns.png -o trns.tk
run map-rgb encode rgb.png --palette p8.png -o rgb.tk
run map-rgba encode rgba.png --palette few.png -o rgba.tk
run decode-rgb decode rgb.tk --palette p8.png -o rgb-back.png
run palette palette p8.png -o swatches.png
run archive archive p8-TK00.tk p8-TK11.tk skip-auto.tk -o set.tkx
run decode-archive decode 'set.tkx#2' --palette p8.png -o archive-2.png
# Names that differ in more than case: Windows names are the same file in either case.
run scramble-TAVI scramble beep.wav -o beep-xor64.wav --mode TAVI
run scramble-tavi scramble beep.wav -o beep-chain.wav
run scramble-plain scramble beep-xor64.wav -o beep-plain.wav --mode plain
run unscramble scramble beep-chain.wav -o beep-back.wav --mode=plain
run bank bank beep.wav beep-xor64.wav beep-chain.wav -o set.bank
run copy-assets pack p8-auto.tk set.tkx set.bank beep-chain.wav p8.png -o assets.dat
run extract-assets extract assets.dat -o assets
run pack pack assets -o game.exe --append-to lead.exe
run list list game.exe
run list-json list --json game.exe,300
run info info game.exe set.tkx set.bank p8-TK01.tk beep-xor64.wav --json
run info-text info game.exe set.tkx set.bank p8-TK01.tk
run extract extract game.exe -o out
run decode-pack decode 'game.exe,300#p8-auto.tk' -o pack-entry.png
run decode-pack-archive decode 'game.exe#set.tkx#1' -o pack-archive.png
run japanese-encode encode 絵.png -o 絵.tk
run japanese-decode decode 絵.tk -o 絵-back.png
run japanese-pack pack 絵.tk 絵.png -o 絵.dat
run japanese-list list 絵.dat
run japanese-folder encode 絵.png p8.png -o batch
# Failures: the message, the status, and nothing written.
run missing-folder encode p8.png -o missing/p8.tk
run missing-extract-folder extract game.exe -o missing
run missing-input encode nothing.png -o old.tk
run bad-png encode photo.png -o old.tk
run cut-png encode cut.png -o old.tk
run not-indexed encode rgb.png -o old.tk
run few-colours decode p8-TK00.tk --palette few.png -o old.tk
run usage encode p8.png
run unknown-option encode p8.png -o old.tk --bogus
run unknown-command frobnicate
[ ${#mounts[@]} = 2 ] && run full-disk encode wide.png -o small/old.tk
# The demo: its assets and frames (its timing and sound device differ; tavikit.exe plays the
# sound through DirectSound, which records no mix.wav).
STATUS_ONLY=1 run demo demo --frames 12 --out demo
rm -f "$WORK/linux/demo/mix.wav"

# ------------------------------------------------------------------ the files written
python3 - "$WORK/linux" "$WORK/windows" "$WORK/inputs" <<'PY'
import os, struct, sys, zlib
lin, win, inputs = sys.argv[1], sys.argv[2], sys.argv[3]

def same(a, b):
    return os.path.exists(b) and open(a, "rb").read() == open(b, "rb").read()

def decoded(path):  # (header, palette, tRNS, unfiltered rows) of a PNG
    b = open(path, "rb").read()
    at, chunks = 8, {}
    while at < len(b):
        n, = struct.unpack(">I", b[at:at + 4])
        chunks.setdefault(b[at + 4:at + 8], []).append(b[at + 8:at + 8 + n])
        at += 12 + n
    w, h, depth, ctype = struct.unpack(">IIBB", chunks[b"IHDR"][0][:10])
    raw = zlib.decompress(b"".join(chunks[b"IDAT"]))
    stride, bpp, prev, rows = (w * depth + 7) // 8, 1, bytearray((w * depth + 7) // 8), []
    for y in range(h):
        f, row = raw[y * (stride + 1)], bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for x in range(stride):
            a = row[x - bpp] if x >= bpp else 0
            c = prev[x - bpp] if x >= bpp else 0
            p = a + prev[x] - c
            pred = [0, a, prev[x], (a + prev[x]) // 2,
                    a if abs(p - a) <= abs(p - prev[x]) and abs(p - a) <= abs(p - c)
                    else prev[x] if abs(p - prev[x]) <= abs(p - c) else c][f]
            row[x] = (row[x] + pred) & 255
        rows.append(bytes(row))
        prev = row
    trns = chunks.get(b"tRNS", [b""])[0].rstrip(b"\xff")
    return (w, h, depth, ctype), chunks.get(b"PLTE", [b""])[0], trns, rows

files = identical = pngs = bad = 0
for folder, _, names in os.walk(lin):
    for name in names:
        path = os.path.join(folder, name)
        rel = os.path.relpath(path, lin)
        if name.startswith("."):
            continue  # a command's streams, compared above; temporary files are looked for below
        other = os.path.join(win, rel)
        if not os.path.exists(other):
            print(f"tool-compare: DIFFERENT: only the Linux tool wrote {rel}"); bad += 1; continue
        if same(path, os.path.join(inputs, rel)) and same(other, os.path.join(inputs, rel)):
            continue  # an input, left as it was
        files += 1
        if same(path, other):
            identical += 1
        elif name.endswith(".png") and decoded(path) == decoded(other):
            pngs += 1
        else:
            print(f"tool-compare: DIFFERENT: {rel}"); bad += 1
for side, root, other in (("the Linux tool", lin, win), ("tavikit.exe", win, lin)):
    for folder, _, names in os.walk(root):
        for name in names:
            rel = os.path.relpath(os.path.join(folder, name), root)
            if ".tavikit-" in name:
                print(f"tool-compare: DIFFERENT: {side} left a temporary file: {rel}"); bad += 1
            elif root == win and name != "tavikit.exe" and not os.path.exists(os.path.join(lin, rel)):
                print(f"tool-compare: DIFFERENT: only tavikit.exe wrote {rel}"); bad += 1
print(f"tool-compare: {files} files written: {identical} byte for byte the same, "
      f"{pngs} PNGs the same in indices and palette, {bad} different")
sys.exit(1 if bad else 0)
PY
files_rc=$?
for side in linux windows; do
  [ ${#mounts[@]} = 2 ] && { cmp -s "$WORK/inputs/old.tk" "$WORK/$side/small/old.tk" ||
    { differ "$side: the failed write did not keep the old file"; files_rc=1; }; }
  [ -e "$WORK/$side/missing" ] && { differ "$side: a missing folder was made"; files_rc=1; }
done
[ ${#mounts[@]} = 2 ] || say "no tmpfs could be mounted: the full-disk write was not tried"
say "$commands commands: $same with the same status, output and messages"
if [ "$same" = "$commands" ] && [ $files_rc = 0 ]; then say "passed"; exit 0; fi
say "FAILED"
exit 1

#!/usr/bin/env bash
# The release files, from the win32, win64 and native builds (./build.sh release builds them
# first):
#
#   dist/tavikit-<version>-win32.zip          HSP's folder layout: Tavikit.DLL (stripped, at most
#                                             200 KB) and Tavikit64.DLL (at most 256 KiB), common/,
#                                             hsphelp/ (Japanese), hsphelp_en/, sample/tavikit/
#                                             with the data its scripts read, doc/tavikit/, sdk/
#                                             (both DLLs' import libraries and .def files),
#                                             LICENSE.txt, and tavikit.exe when the win32 build
#                                             has it
#   dist/tavikit-<version>-linux-x86_64.tar.gz   the native install tree (tavikit.as included)
#   dist/tavikit_<version>_amd64.deb             the same as a Debian package
#
#   scripts/release.sh [WIN32_BUILD] [NATIVE_BUILD] [DIST] [WIN64_BUILD]
#                                       (default build/win32 build/native dist build/win64)
set -euo pipefail
cd "$(dirname "$0")/.."
win32=$(realpath -m "${1:-build/win32}")
native=$(realpath -m "${2:-build/native}")
dist=$(realpath -m "${3:-dist}")
win64=$(realpath -m "${4:-build/win64}")
say() { printf 'release: %s\n' "$*" >&2; }
version=$(sed -n 's/^project(Tavikit VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
budget=204800
budget64=262144

stage=$(mktemp -d /tmp/tavikit-release.XXXXXX)
trap 'rm -rf "$stage"' EXIT
tree=$stage/win32
cmake --install "$win32" --prefix "$tree" --strip >/dev/null
# Tavikit64.DLL beside Tavikit.DLL, its import library and .def in sdk/lib/.
cmake --install "$win64" --prefix "$stage/win64" --strip >/dev/null
cp "$stage/win64/Tavikit64.DLL" "$tree/"
cp "$stage/win64/sdk/lib/Tavikit64.def" "$stage/win64/sdk/lib/libtavikit64.dll.a" "$tree/sdk/lib/"
# The data files the samples read, written by the project's own writers.
"$native/tests/tavikit_script_data" "$tree/sample/tavikit"
# The asset tool for Windows, where the win32 build makes one.
for exe in "$win32/bin/tavikit.exe" "$win32/tools/tavikit.exe"; do
  if [ -f "$exe" ] && [ ! -e "$tree/tavikit.exe" ]; then
    i686-w64-mingw32-strip -o "$tree/tavikit.exe" "$exe"
  fi
done
# Windows line ends in every text file; the samples in Shift_JIS (code page 932), which HSP's
# editor and compiler read (the help files stay UTF-8, as HSP's own are).
find "$tree" -type f \( -name '*.as' -o -name '*.hs' -o -name '*.hsp' -o -name '*.txt' -o \
     -name '*.md' -o -name '*.h' -o -name '*.def' \) -exec sed -i 's/\r$//; s/$/\r/' {} +
for script in "$tree"/sample/tavikit/*.hsp "$tree"/sample/tavikit/*.as; do
  iconv -f UTF-8 -t CP932 "$script" >"$stage/script"
  cat "$stage/script" >"$script"
done
size=$(stat -c %s "$tree/Tavikit.DLL")
if [ "$size" -gt "$budget" ]; then
  say "Tavikit.DLL is $size bytes stripped, over the budget of $budget"
  exit 1
fi
size64=$(stat -c %s "$tree/Tavikit64.DLL")
if [ "$size64" -gt "$budget64" ]; then
  say "Tavikit64.DLL is $size64 bytes stripped, over the budget of $budget64"
  exit 1
fi

mkdir -p "$dist"
zip=$dist/tavikit-$version-win32.zip
rm -f "$zip"
(cd "$tree" && zip -q -X -r "$zip" .)
(cd "$native" && cpack -B "$stage/cpack" >/dev/null)
cp "$stage/cpack/tavikit-$version-linux-x86_64.tar.gz" "$stage/cpack/tavikit_${version}_amd64.deb" \
   "$dist/"
say "Tavikit.DLL $size bytes, Tavikit64.DLL $size64 bytes; help entries: $(grep -c '^%index' "$tree/hsphelp/tavikit.hs") in" \
    "hsphelp/ (Japanese), $(grep -c '^%index' "$tree/hsphelp_en/tavikit.hs") in hsphelp_en/"
ls -l "$dist"/tavikit-"$version"-win32.zip "$dist"/tavikit-"$version"-linux-x86_64.tar.gz \
      "$dist"/tavikit_"$version"_amd64.deb

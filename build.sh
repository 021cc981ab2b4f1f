#!/usr/bin/env bash
# Build, test and demo commands for Tavikit on Debian 12. `./build.sh` alone lists them: the list
# is the COMMANDS table below, which is also what runs them.
set -euo pipefail
cd "$(dirname "$0")"

NATIVE_PACKAGES=(cmake ninja-build g++ pkg-config googletest libbenchmark-dev libspng-dev libsdl2-dev)
TEST_PACKAGES=("${NATIVE_PACKAGES[@]}" g++-multilib qemu-user g++-mingw-w64-i686
               binutils-mingw-w64-i686 g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64 clang
               clang-format clang-tidy libclang-rt-14-dev xvfb xauth file)

say() { printf '\n== %s\n' "$*"; }

# Installs whichever of the given packages are missing.
need() {
  local missing=()
  for pkg in "$@"; do
    dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' ||
      missing+=("$pkg")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  if [ "$(id -u)" != 0 ]; then
    echo "missing packages: ${missing[*]} (run as root, or install them)" >&2
    exit 1
  fi
  say "installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -q
  apt-get install -y -q --no-install-recommends "${missing[@]}"
}

build() {  # build PRESET
  say "build: $1"
  cmake --preset "$1" >/dev/null
  cmake --build --preset "$1"
}

check() {  # build and test PRESET
  build "$1"
  say "test: $1"
  ctest --preset "$1"
}

# How this machine runs 32-bit programs (scripts/i386-mode.sh): "direct", "binfmt", "emulator" or
# "none", with a sentence for people after a tab.
i386_mode() { scripts/i386-mode.sh --why; }

# The 32-bit suite under AddressSanitizer and UndefinedBehaviorSanitizer, run directly, where the
# kernel runs 32-bit programs and the 32-bit sanitizer runtimes are installed. Through qemu-i386 a
# sanitized program does not finish, so there it is skipped.
check_m32_sanitize() {
  local mode probe
  mode=$(i386_mode)
  if [ "${mode%%$'\t'*}" != direct ]; then
    say "m32-sanitize skipped: it runs 32-bit programs directly, and here ${mode#*$'\t'}"
    return 0
  fi
  probe=$(mktemp -d)
  if printf 'int main() { return 0; }\n' >"$probe/p.cpp" &&
    g++ -m32 -fsanitize=address,undefined "$probe/p.cpp" -o "$probe/p" 2>/dev/null &&
    timeout -k 5 60 "$probe/p"; then
    rm -rf "$probe"
    check m32-sanitize
  else
    rm -rf "$probe"
    say "m32-sanitize skipped: a 32-bit sanitized program cannot be built or run here (g++-multilib's sanitizer runtimes?)"
  fi
}

# Every fuzz target for a short run (seconds each), under ASan and UBSan.
fuzz() {
  build fuzz
  say "fuzz: ${1}s per target"
  scripts/fuzz.sh "$1"
}

# The benchmarks of the 32-bit build, each subject's time over its 64-bit time from the run before,
# where the machine runs 32-bit programs itself: through qemu-i386 they would time the emulator.
bench32() {
  local mode
  mode=$(i386_mode)
  if [ "${mode%%$'\t'*}" != direct ]; then
    say "32-bit benchmarks: not run, they would time the emulator: ${mode#*$'\t'}"
    return 0
  fi
  build m32
  say "32-bit benchmarks (the run ends with each subject's 32-bit time / its 64-bit time)"
  build/m32/bench/tavikit_bench --tavibench_against=build/native/bench/times.tsv "$@"
}

lint() {
  say "fault list: every fault of scripts/faults.txt applies exactly once"
  scripts/check-faults.py
  say "clang-format"
  git ls-files -- '*.h' '*.cpp' | xargs clang-format --dry-run -Werror
  say "clang-tidy"
  # Library sources that only Tavikit.DLL builds (the Win32 backends, the entry hook).
  local win32_only
  win32_only=$(git ls-files -- 'src/*.cpp' 'tools/*.cpp' | while read -r f; do
    grep -q "\"file\": \"$PWD/$f\"" build/native/compile_commands.json || echo "$f"; done)
  git ls-files -- 'src/*.cpp' 'host/*.cpp' 'tools/*.cpp' 'bench/*.cpp' 'tests/*.cpp' |
    grep -v -E 'dllmain\.cpp|^tests/windows/' | grep -v -x -F "$win32_only" |
    xargs -P "$(nproc)" -n 4 clang-tidy -p build/native --quiet 2>/dev/null
  # The Windows-only tests: the Win32 build's commands, the cross compiler's C++ headers.
  local cxx
  cxx=$(dirname "$(i686-w64-mingw32-g++-posix -print-libgcc-file-name)")/include/c++
  git ls-files -- 'tests/windows/*.cpp' | grep -v '_x64\.cpp$' |
    xargs -r clang-tidy -p build/win32 --quiet --extra-arg=--target=i686-w64-mingw32 \
      --extra-arg=-isystem"$cxx" --extra-arg=-isystem"$cxx/i686-w64-mingw32" 2>/dev/null
  # The 64-bit Windows tests: the Win64 build's commands and headers.
  local cxx64
  cxx64=$(dirname "$(x86_64-w64-mingw32-g++-posix -print-libgcc-file-name)")/include/c++
  git ls-files -- 'tests/windows/*_x64.cpp' |
    xargs -r clang-tidy -p build/win64 --quiet --extra-arg=--target=x86_64-w64-mingw32 \
      --extra-arg=-isystem"$cxx64" --extra-arg=-isystem"$cxx64/x86_64-w64-mingw32" 2>/dev/null
  # The Win32 backends: their build commands carry a GCC-only option, so the flags are given here.
  grep -v 'dllmain\.cpp' <<<"$win32_only" |
    xargs -r -I{} clang-tidy --quiet {} -- --target=i686-w64-mingw32 -std=c++20 -Iinclude -Isrc -I. -Itools/tavikit \
      -isystem"$cxx" -isystem"$cxx/i686-w64-mingw32" -DTAVIKIT_BUILDING 2>/dev/null
}

# The commands, one an entry: "NAME [ARGS]|what it does". The help is this table, and a command
# runs (as cmd_NAME, "-" read as "_") only when it is listed here.
COMMANDS=(
  "demo|build libtavikit.so and the tavikit tool, run \`tavikit demo\` (frames, contact sheet and sound in ./demo)"
  "test|every build and check: native, sanitizers, 32-bit (qemu-i386 where needed), Tavikit.DLL and Tavikit64.DLL with their export, size and disassembly checks, short fuzz runs, formatting and clang-tidy"
  "fuzz [S]|build the fuzz targets and run each for S seconds (default 600)"
  "bench|build and run the benchmarks (ratios against baselines at the end), then the same in the 32-bit build, with each subject's 32-bit / 64-bit time"
  "wine-test|Tavikit.DLL and Tavikit64.DLL in real Windows processes under Wine (changes the machine's apt architectures: run it after everything else)"
  "release|dist/: the Windows zip for HSP, the Linux tar.gz and .deb"
)

usage() {
  echo "Build, test and demo commands for Tavikit on Debian 12. Each command installs the Debian"
  echo "packages it needs first (when run as root and they are missing)."
  echo
  local entry
  for entry in "${COMMANDS[@]}"; do
    printf '  ./build.sh %-10s ' "${entry%%|*}"
    fold -s -w 72 <<<"${entry#*|}" | sed -e 's/ *$//' -e '2,$s/^/                        /'
  done
}

cmd_demo() {
  need "${NATIVE_PACKAGES[@]}"
  build native
  say "tavikit demo"
  build/native/bin/tavikit demo --out demo
}

cmd_test() {
  need "${TEST_PACKAGES[@]}"
  check native
  check sanitize
  say "32-bit programs on this machine: $(i386_mode | cut -f2)"
  check m32
  check_m32_sanitize
  check win32
  check win64
  fuzz 20
  lint
  say "all checks passed"
}

cmd_fuzz() {
  need "${TEST_PACKAGES[@]}"
  fuzz "${1:-600}"
}

cmd_bench() {
  need "${NATIVE_PACKAGES[@]}" g++-multilib
  build native
  build/native/bench/tavikit_bench --tavibench_times=build/native/bench/times.tsv "$@"
  bench32 "$@"
}

cmd_release() {
  need "${NATIVE_PACKAGES[@]}" g++-mingw-w64-i686 binutils-mingw-w64-i686 g++-mingw-w64-x86-64 \
    binutils-mingw-w64-x86-64 zip dpkg-dev file
  build native
  build win32
  build win64
  exec scripts/release.sh build/win32 build/native dist build/win64
}

cmd_wine_test() {
  need "${TEST_PACKAGES[@]}"
  build native
  build m32
  build win32
  build win64
  exec scripts/wine-test.sh build/win32 build/win64
}

case "${1:-}" in
  -h | --help)
    usage
    exit 0
    ;;
esac
for entry in "${COMMANDS[@]}"; do
  name=${entry%%|*}
  name=${name%% *}
  if [ "${1:-}" = "$name" ]; then
    shift
    "cmd_${name//-/_}" "$@"
    exit
  fi
done
usage
exit 2

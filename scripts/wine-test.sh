#!/usr/bin/env bash
# Tavikit.DLL inside a real Windows process: runs the Windows test program, the same behaviour
# tests as the native and 32-bit suites plus the checks only a Windows process can make; then the
# tool's suite against tavikit.exe.
#
#   scripts/wine-test.sh [WIN32_BUILD]                  default: build/win32 (later words ignored)
#   scripts/wine-test.sh --setup                        only set Wine up
#   scripts/wine-test.sh --run PROGRAM.exe [ARGS...]    run one Windows program, pass its exit code
#   scripts/wine-test.sh --stop                         stop the persistent wineserver
#
# Wine is set up on first use (Debian 12 x86_64, as root; about a minute): the i386 package
# architecture, wine and wine32:i386 from a private apt source list (bookworm, bookworm-updates and
# bookworm-backports: the mirror's i386 index of the security suite is broken), and, where the
# kernel runs no 32-bit code, qemu-i386 (qemu-user >= 8.1 from bookworm-backports) registered with
# binfmt_misc so that Wine's own i386 processes run through it. A 32-bit prefix is created once.
#
# Settings from the environment: TAVIKIT_WINE_STATE (prefix, apt lists and log; default
# /var/lib/tavikit-wine), TAVIKIT_WINE_MIRROR (default http://deb.debian.org/debian),
# TAVIKIT_WINE_PERSIST (seconds the wineserver stays up after a run, default 60),
# TAVIKIT_WINE_TIMEOUT (seconds a Windows program may take, default 600), WINEDEBUG (default -all).
#
# Sound: Wine's ALSA driver is pointed at ALSA's built-in null output (a registry value set once in
# the prefix, and an ALSA configuration of only that device for every run), so that DirectSound
# opens a device on machines without a sound card.
#
# Exit codes: 0 everything passed; 1 a test failed; 2 Wine could not be set up
# here (one line on stderr says why, the details are in the log named there).
set -uo pipefail
SCRIPTS=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=lib/bounded.sh
. "$SCRIPTS/lib/bounded.sh"

STATE=${TAVIKIT_WINE_STATE:-/var/lib/tavikit-wine}
export WINEPREFIX=${TAVIKIT_WINEPREFIX:-$STATE/prefix}
export WINEARCH=win32
export WINEDEBUG=${WINEDEBUG:--all}
MIRROR=${TAVIKIT_WINE_MIRROR:-http://deb.debian.org/debian}
PERSIST_SECONDS=${TAVIKIT_WINE_PERSIST:-60}
RUN_SECONDS=${TAVIKIT_WINE_TIMEOUT:-600}
LOG=$STATE/setup.log
APT_DIR=$STATE/apt
QEMU=/usr/bin/qemu-i386
WINE32_LOADER=/usr/lib/wine/wine
ALSA_NULL_CONF=$STATE/alsa-null.conf
BINFMT=/proc/sys/fs/binfmt_misc
HANDLER=qemu-i386

say() { printf 'wine-test: %s\n' "$*" >&2; }
# The one line a machine that cannot run Wine gets.
cannot() {
  say "cannot set up Wine on this machine: $* (details: $LOG)"
  exit 2
}

# ------------------------------------------------------------------ what the machine has

# Installed version of a package, empty when it is not installed.
installed() {
  dpkg-query -W -f='${db:Status-Abbrev} ${Version}' "$1" 2>/dev/null |
    awk '$1 == "ii" { print $2 }'
}

# qemu-user 7.2 (bookworm) takes about 45 s per Wine process and crashes in Wine's helpers;
# from 8.1 on a Wine process starts in a fraction of a second.
fast_qemu_installed() {
  local v
  v=$(installed qemu-user)
  [ -n "$v" ] && dpkg --compare-versions "$v" ge 1:8.1
}

# qemu is needed wherever the kernel does not run i386 code itself; once a handler is registered,
# i386 programs run through it whatever the kernel could do (scripts/i386-mode.sh knows which).
needs_qemu() { [ "$("$SCRIPTS/i386-mode.sh")" != direct ]; }

packages_ready() {
  [ -n "$(installed wine)" ] && [ -n "$(installed wine32:i386)" ] || return 1
  if [ "$NEED_QEMU" = 1 ]; then
    # Wine's preloader only slows the new qemu down (relocations of ntdll and the DLLs).
    fast_qemu_installed && [ -z "$(installed wine32-preloader:i386)" ] || return 1
  fi
}

# The handler must be ours and registered in this boot for the qemu-i386 file that is installed
# now: the F flag makes the kernel keep the file it saw at registration time.
handler_stamp() { echo "$(cat /proc/sys/kernel/random/boot_id) $(stat -L -c '%d:%i:%Y' $QEMU)"; }
handler_ready() {
  local h=$BINFMT/$HANDLER
  [ -e "$h" ] && grep -qx enabled "$h" && grep -qx "interpreter $QEMU" "$h" &&
    grep -q '^flags: .*F' "$h" && [ "$(cat "$STATE/handler.stamp" 2>/dev/null)" = "$(handler_stamp)" ]
}

# Wine updates a prefix when .update-timestamp (written with CRLF) differs from wine.inf's mtime.
prefix_ready() {
  [ -f "$WINEPREFIX/system.reg" ] && [ -f "$WINEPREFIX/.tavikit-ready" ] || return 1
  local stamp
  stamp=$(tr -d ' \r\n' <"$WINEPREFIX/.update-timestamp" 2>/dev/null)
  [ "$stamp" = "$(stat -c %Y /usr/share/wine/wine.inf 2>/dev/null)" ]
}

# ------------------------------------------------------------------ setting it up

APT_OPTIONS=(-o Dir::Etc::SourceList=/dev/null -o "Dir::Etc::SourceParts=$APT_DIR/sources.list.d"
             -o "Dir::State::Lists=$APT_DIR/lists" -o Acquire::Retries=3 -o Dpkg::Use-Pty=0)
apt_private() {
  local command=apt-get
  case $1 in list) command=apt ;; madison) command=apt-cache ;; esac
  "$command" "${APT_OPTIONS[@]}" "$@"
}

# name=version for each installed package updated from the security suite: a version that the
# private lists do not hold, of an upstream version that they do hold (then the newest of those).
versions_outside_lists() {
  local name installed_version listed
  apt_private list --installed 2>/dev/null | awk -F'[/ ]' '/\[installed,local\]/ { print $1, $3 }' |
    while read -r name installed_version; do
      listed=$(apt_private madison "$name" 2>/dev/null | awk -F' *[|] *' 'NR == 1 { print $2 }')
      [ -n "$listed" ] && [ "${listed%-*}" = "${installed_version%-*}" ] && echo "$name=$listed"
    done
}

install_packages() {
  export DEBIAN_FRONTEND=noninteractive
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    say "adding the i386 package architecture"
    dpkg --add-architecture i386 >>"$LOG" 2>&1 || cannot "dpkg --add-architecture i386 failed"
  fi
  mkdir -p "$APT_DIR/sources.list.d" "$APT_DIR/lists/partial"
  cat >"$APT_DIR/sources.list.d/tavikit-wine.sources" <<EOF
Types: deb
URIs: $MIRROR
Suites: bookworm bookworm-updates bookworm-backports
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
EOF
  say "installing Wine (private apt source list: bookworm, -updates, -backports)"
  bounded 900 "apt-get update" apt-get "${APT_OPTIONS[@]}" update >>"$LOG" 2>&1 || cannot "apt-get update of $MIRROR failed"
  local packages=(wine wine32:i386)
  [ "$NEED_QEMU" = 1 ] && ! fast_qemu_installed && packages+=(qemu-user/bookworm-backports)
  if ! bounded 1800 "apt-get install" apt-get "${APT_OPTIONS[@]}" install -y --no-install-recommends "${packages[@]}" \
       >>"$LOG" 2>&1; then
    # i386 twins of a library must have the amd64 version; libraries updated from the security
    # suite have none in these lists, so they go back to the versions the lists hold.
    local back
    mapfile -t back < <(versions_outside_lists)
    [ ${#back[@]} -gt 0 ] || cannot "apt-get install ${packages[*]} failed"
    say "taking ${back[*]} back to the listed versions (their i386 twins must match)"
    bounded 1800 "apt-get install" apt-get "${APT_OPTIONS[@]}" install -y --no-install-recommends --allow-downgrades \
      "${packages[@]}" "${back[@]}" >>"$LOG" 2>&1 || cannot "apt-get install ${packages[*]} failed"
  fi
  if [ "$NEED_QEMU" = 1 ] && [ -n "$(installed wine32-preloader:i386)" ]; then
    bounded 900 "apt-get remove" apt-get "${APT_OPTIONS[@]}" remove -y wine32-preloader:i386 >>"$LOG" 2>&1 ||
      cannot "removing wine32-preloader:i386 failed"
  fi
}

register_handler() {
  [ -e "$BINFMT/register" ] || mount -t binfmt_misc binfmt_misc "$BINFMT" >>"$LOG" 2>&1 ||
    cannot "binfmt_misc cannot be mounted on $BINFMT"
  [ -e "$BINFMT/$HANDLER" ] && echo -1 >"$BINFMT/$HANDLER"
  # i386 ELF executables and shared objects (types 2 and 3), machine 3.
  local magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
  local mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
  echo ":$HANDLER:M::$magic:$mask:$QEMU:F" >"$BINFMT/register" 2>>"$LOG" ||
    cannot "registering qemu-i386 with binfmt_misc failed"
  [ "$(cat "$BINFMT/status")" = enabled ] || echo 1 >"$BINFMT/status"
  handler_stamp >"$STATE/handler.stamp"
  # QEMU_VERSION makes qemu print its version instead of running the program: proves which
  # interpreter runs Wine's i386 loader now.
  local banner version
  banner=$(QEMU_VERSION=1 timeout 20 "$WINE32_LOADER" 2>&1 9>&- | head -n 1)
  case "$banner" in
    "qemu-i386 version "*) ;;
    *) cannot "i386 programs do not run through qemu-i386 after registering it" ;;
  esac
  version=${banner#qemu-i386 version }
  dpkg --compare-versions "${version%% *}" ge 8.1 ||
    cannot "an older qemu (${version%% *}) runs i386 programs; another binfmt_misc handler is in the way"
}

create_prefix() {
  say "creating the 32-bit Wine prefix $WINEPREFIX (once, about 20 s)"
  bounded 60 "wineserver -k" wineserver -k >/dev/null 2>&1 9>&-
  bounded 120 "wineserver -w" wineserver -w >/dev/null 2>&1 9>&-
  rm -f "$WINEPREFIX/.tavikit-ready"
  mkdir -p "$(dirname "$WINEPREFIX")"
  # No Mono or Gecko installers, no menu builder.
  WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d" \
    bounded 600 "creating the prefix" setsid -w wine cmd.exe /c exit </dev/null >>"$LOG" 2>&1 9>&- ||
    cannot "wineboot failed"
  # Kept in the prefix: no menu builder on every boot, no debugger attaching to a crash (a
  # crashing test program just exits).
  local settings=$STATE/prefix-settings.reg
  printf '%s\r\n' REGEDIT4 '' '[HKEY_CURRENT_USER\Software\Wine\DllOverrides]' \
    '"winemenubuilder.exe"=""' '"winedbg.exe"=""' >"$settings"
  bounded 300 "regedit" setsid -w wine regedit /S "Z:${settings//\//\\}" </dev/null >>"$LOG" 2>&1 9>&- ||
    cannot "regedit failed"
  # The registry is written when the server exits.
  bounded 120 "wineserver -w" wineserver -w >/dev/null 2>&1 9>&-
  grep -q '^"winedbg.exe"=""' "$WINEPREFIX/user.reg" 2>/dev/null ||
    cannot "the prefix settings were not saved"
  touch "$WINEPREFIX/.tavikit-ready"
  prefix_ready || cannot "the prefix was not brought up to date with wine.inf"
}

# The prefix's ALSA output devices: only "null" (REG_MULTI_SZ written as hex(7) bytes).
sound_ready() { grep -q '^"ALSAOutputDevices"=' "$WINEPREFIX/user.reg" 2>/dev/null; }
set_sound_output() {
  say "giving Wine the ALSA null output as its sound device (once per prefix)"
  local settings=$STATE/sound-settings.reg
  printf '%s\r\n' REGEDIT4 '' '[HKEY_CURRENT_USER\Software\Wine\Drivers\winealsa.drv]' \
    '"ALSAOutputDevices"=hex(7):6e,75,6c,6c,00,00' >"$settings"
  ALSA_CONFIG_PATH=$ALSA_NULL_CONF bounded 300 "regedit" setsid -w wine regedit /S \
    "Z:${settings//\//\\}" </dev/null >>"$LOG" 2>&1 9>&- || cannot "regedit of the sound setting failed"
  # The registry is written when the server exits.
  bounded 120 "wineserver -w" wineserver -w >/dev/null 2>&1 9>&-
  sound_ready || cannot "the sound setting was not saved"
}

setup() {
  [ "$(uname -m)" = x86_64 ] || cannot "needs an x86_64 machine, this is $(uname -m)"
  # shellcheck disable=SC1091
  [ "$(. /etc/os-release && echo "${VERSION_CODENAME:-}")" = bookworm ] ||
    cannot "needs Debian 12 (bookworm)"
  NEED_QEMU=0
  needs_qemu && NEED_QEMU=1
  packages_ready || install_packages
  packages_ready || cannot "wine, wine32:i386 or qemu-user >= 8.1 is still missing after apt"
  if [ "$NEED_QEMU" = 1 ]; then handler_ready || register_handler; fi
  command -v wine >/dev/null || cannot "no wine command after installing it"
  prefix_ready || create_prefix
  printf 'pcm.!%s {\n    type null\n}\n' default null >"$ALSA_NULL_CONF"
  sound_ready || set_sound_output
}

# One setup at a time (fd 9 is closed for every Wine process so that none inherits the lock).
locked_setup() {
  [ "$(id -u)" = 0 ] || cannot "needs root (apt, binfmt_misc, the prefix in $STATE)"
  if ! { mkdir -p "$STATE" && exec 9>"$STATE/lock" && flock 9; }; then
    cannot "cannot lock $STATE/lock"
  fi
  setup
  exec 9>&-
}

# A persistent wineserver, and Wine's services booted with their output in the log: later runs
# take well under a second, and no helper process holds the caller's pipes open.
start_server() {
  [ "$PERSIST_SECONDS" -gt 0 ] 2>/dev/null || return 0
  if bounded 60 "starting the wineserver" wineserver -p"$PERSIST_SECONDS" </dev/null >>"$LOG" 2>&1; then
    bounded 300 "booting Wine's services" setsid -w wine cmd.exe /c exit </dev/null >>"$LOG" 2>&1
  fi
  return 0
}

# Runs a Windows program from its own folder (where Tavikit.DLL lies beside it), for at most
# TAVIKIT_WINE_TIMEOUT seconds.
run_windows() {
  local program=$1 rc
  shift
  (cd "$(dirname "$program")" && export ALSA_CONFIG_PATH=$ALSA_NULL_CONF &&
    bounded "$RUN_SECONDS" "$program" wine "./$(basename "$program")" "$@")
}

# ------------------------------------------------------------------ the checks

# A Windows test program (EXE, with "dll": Tavikit.DLL must lie beside it): GoogleTest's own
# summary must show tests that ran and passed.
run_test_program() {
  local exe=$1 out rc cap caps=("")
  [ -f "$exe" ] || { say "no $exe: build the win32 preset first"; return 1; }
  if [ "${2:-}" = dll ]; then
    [ -f "$(dirname "$exe")/Tavikit.DLL" ] || { say "no Tavikit.DLL beside $exe"; return 1; }
    caps=("" avx2 sse2 portable)  # the widest vector loops, then each cap of TAVIKIT_VECTORS
  fi
  for cap in "${caps[@]}"; do
    say "running $exe under Wine${cap:+, TAVIKIT_VECTORS=$cap}"
    out=$(TAVIKIT_VECTORS=$cap run_windows "$exe" 2>&1 | tr -d '\r')
    rc=$?  # the program's own, through pipefail
    printf '%s\n' "$out"
    if [ "$rc" != 0 ] || ! grep -q '^\[  PASSED  \] [1-9]' <<<"$out"; then
      say "the Windows test program failed (exit code $rc${cap:+, TAVIKIT_VECTORS=$cap})"
      return 1
    fi
  done
}

case "${1:-}" in
  -h | --help)
    sed -n '2,/^set -uo/p' "$0" | sed '$d; s/^# \{0,1\}//'
    exit 0
    ;;
  --setup)
    locked_setup
    say "Wine is ready (prefix $WINEPREFIX)"
    exit 0
    ;;
  --stop)
    bounded 60 "wineserver -k" wineserver -k 2>/dev/null
    exit 0
    ;;
  --run)
    shift
    [ $# -ge 1 ] || { say "--run needs a program"; exit 2; }
    locked_setup
    start_server
    run_windows "$@"
    exit $?
    ;;
esac

WIN32_BUILD=${1:-build/win32}
locked_setup
start_server
failed=0
run_test_program "$WIN32_BUILD/tests/tavikit_export_tests.exe" dll || failed=1
# The tool's suite against tavikit.exe, which lies beside it in bin/.
run_test_program "$WIN32_BUILD/bin/tavikit_tool_tests.exe" || failed=1
if [ $failed = 0 ]; then say "passed"; else say "FAILED"; fi
exit $failed

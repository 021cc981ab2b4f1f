#!/usr/bin/env bash
# Sets Wine up for the Windows checks (Debian 12 x86_64, as root; about a minute the first time):
# the i386 package architecture, wine, wine32:i386 and wine64 from a private apt source list
# (bookworm, bookworm-updates and bookworm-backports: the mirror's i386 index of the security suite
# is broken), and, where the kernel runs no 32-bit code, qemu-i386 (qemu-user >= 8.1 from
# bookworm-backports) registered with binfmt_misc so that Wine's own i386 processes run through
# it. Then a 32-bit and a 64-bit prefix, each created once with ALSA's null output as its sound
# device (a registry value, and an ALSA configuration of only that device for every run), so
# that DirectSound opens a device on machines without a sound card.
#
#   scripts/wine-setup.sh            set up what is missing (one set-up at a time: a lock)
#   scripts/wine-setup.sh --stop     stop the persistent wineservers
#   scripts/wine-setup.sh --quiet    the same, without the line that says Wine is ready
#
# Settings: see scripts/lib/wine.sh. Exit codes: 0 ready; 2 Wine cannot be set up here (one line
# on stderr says why, the details are in the log named there).
set -uo pipefail
SCRIPTS=$(cd "$(dirname "$0")" && pwd)
WINE_SCRIPT=wine-setup
# shellcheck source=lib/bounded.sh
. "$SCRIPTS/lib/bounded.sh"
# shellcheck source=lib/wine.sh
. "$SCRIPTS/lib/wine.sh"
QEMU=/usr/bin/qemu-i386
WINE32_LOADER=/usr/lib/wine/wine
BINFMT=/proc/sys/fs/binfmt_misc
HANDLER=qemu-i386

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
  [ -n "$(installed wine)" ] && [ -n "$(installed wine32:i386)" ] && [ -n "$(installed wine64)" ] ||
    return 1
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
# (For the prefix use_wine chose.)
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
  local packages=(wine wine32:i386 wine64)
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
  say "creating the ${WINEARCH#win}-bit Wine prefix $WINEPREFIX (once, about 20 s)"
  bounded 60 "wineserver -k" "$WINESERVER_CMD" -k >/dev/null 2>&1 9>&-
  bounded 120 "wineserver -w" "$WINESERVER_CMD" -w >/dev/null 2>&1 9>&-
  rm -f "$WINEPREFIX/.tavikit-ready"
  mkdir -p "$(dirname "$WINEPREFIX")"
  # No Mono or Gecko installers, no menu builder.
  WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d" \
    bounded 600 "creating the prefix" setsid -w "$WINE" cmd.exe /c exit </dev/null >>"$LOG" 2>&1 9>&- ||
    cannot "wineboot failed"
  # Kept in the prefix: no menu builder on every boot, no debugger attaching to a crash (a
  # crashing test program just exits).
  local settings=$STATE/prefix-settings.reg
  printf '%s\r\n' REGEDIT4 '' '[HKEY_CURRENT_USER\Software\Wine\DllOverrides]' \
    '"winemenubuilder.exe"=""' '"winedbg.exe"=""' >"$settings"
  bounded 300 "regedit" setsid -w "$WINE" regedit /S "Z:${settings//\//\\}" </dev/null >>"$LOG" 2>&1 9>&- ||
    cannot "regedit failed"
  # The registry is written when the server exits.
  bounded 120 "wineserver -w" "$WINESERVER_CMD" -w >/dev/null 2>&1 9>&-
  grep -q '^"winedbg.exe"=""' "$WINEPREFIX/user.reg" 2>/dev/null ||
    cannot "the prefix settings were not saved"
  touch "$WINEPREFIX/.tavikit-ready"
  prefix_ready || cannot "the prefix was not brought up to date with wine.inf"
}

# The prefix's ALSA output devices: only "null" (REG_MULTI_SZ written as hex(7) bytes).
sound_ready() { grep -q '^"ALSAOutputDevices"=' "$WINEPREFIX/user.reg" 2>/dev/null; }
set_sound_output() {
  say "giving Wine the ALSA null output as its sound device (once per prefix: $WINEPREFIX)"
  local settings=$STATE/sound-settings.reg
  printf '%s\r\n' REGEDIT4 '' '[HKEY_CURRENT_USER\Software\Wine\Drivers\winealsa.drv]' \
    '"ALSAOutputDevices"=hex(7):6e,75,6c,6c,00,00' >"$settings"
  ALSA_CONFIG_PATH=$ALSA_NULL_CONF bounded 300 "regedit" setsid -w "$WINE" regedit /S \
    "Z:${settings//\//\\}" </dev/null >>"$LOG" 2>&1 9>&- || cannot "regedit of the sound setting failed"
  # The registry is written when the server exits.
  bounded 120 "wineserver -w" "$WINESERVER_CMD" -w >/dev/null 2>&1 9>&-
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
  packages_ready || cannot "wine, wine32:i386, wine64 or qemu-user >= 8.1 is still missing after apt"
  if [ "$NEED_QEMU" = 1 ]; then handler_ready || register_handler; fi
  command -v wine >/dev/null || cannot "no wine command after installing it"
  [ -x "$WINE64_LOADER" ] || cannot "no 64-bit Wine at $WINE64_LOADER after installing wine64"
  printf 'pcm.!%s {\n    type null\n}\n' default null >"$ALSA_NULL_CONF"
  local bits
  for bits in 32 64; do
    use_wine $bits
    prefix_ready || create_prefix
    sound_ready || set_sound_output
  done
}

# One setup at a time (fd 9 is closed for every Wine process so that none inherits the lock).
locked_setup() {
  [ "$(id -u)" = 0 ] || cannot "needs root (apt, binfmt_misc, the prefixes in $STATE)"
  if ! { mkdir -p "$STATE" && exec 9>"$STATE/lock" && flock 9; }; then
    cannot "cannot lock $STATE/lock"
  fi
  setup
  exec 9>&-
}

case "${1:-}" in
  -h | --help)
    sed -n '2,/^set -uo/p' "$0" | sed '$d; s/^# \{0,1\}//'
    exit 0
    ;;
  --quiet) quiet=1 ;;
  --stop)
    for bits in 32 64; do
      use_wine $bits
      bounded 60 "wineserver -k" "$WINESERVER_CMD" -k 2>/dev/null
    done
    exit 0
    ;;
esac
locked_setup
# Quiet for one program's run, whose own output is all its caller reads (scripts/tool-compare.sh).
[ "${quiet:-0}" = 1 ] || say "Wine is ready (prefixes $STATE/prefix and $STATE/prefix64)"

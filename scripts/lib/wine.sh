# shellcheck shell=bash
# What the Wine scripts share: their settings, how they say things, and how a Windows program runs
# in the prefix of its word size with a bounded time. Sourced after lib/bounded.sh, with SCRIPTS
# set to the scripts folder and the caller's name in WINE_SCRIPT (for its messages).
#
# Settings from the environment: TAVIKIT_WINE_STATE (prefixes, apt lists and log; default
# /var/lib/tavikit-wine), TAVIKIT_WINE_MIRROR (default http://deb.debian.org/debian),
# TAVIKIT_WINE_PERSIST (seconds a wineserver stays up after a run, default 60),
# TAVIKIT_WINE_TIMEOUT (seconds a Windows program may take, default 600), WINEDEBUG (default -all).
#
# Two prefixes: a 32-bit one for Tavikit.DLL ($STATE/prefix; its i386 processes run through
# qemu-i386 where the kernel runs no 32-bit code) and a 64-bit one for Tavikit64.DLL
# ($STATE/prefix64; 64-bit Wine always runs natively). Both give Wine ALSA's null output as
# their sound device.

STATE=${TAVIKIT_WINE_STATE:-/var/lib/tavikit-wine}
export WINEDEBUG=${WINEDEBUG:--all}
MIRROR=${TAVIKIT_WINE_MIRROR:-http://deb.debian.org/debian}
PERSIST_SECONDS=${TAVIKIT_WINE_PERSIST:-60}
RUN_SECONDS=${TAVIKIT_WINE_TIMEOUT:-600}
LOG=$STATE/setup.log
APT_DIR=$STATE/apt
ALSA_NULL_CONF=$STATE/alsa-null.conf
WINE64_LOADER=/usr/lib/wine/wine64
WINESERVER64=/usr/lib/wine/wineserver64

say() { printf '%s: %s\n' "${WINE_SCRIPT:-wine}" "$*" >&2; }
# The one line a machine that cannot run Wine gets.
cannot() {
  say "cannot set up Wine on this machine: $* (details: $LOG)"
  exit 2
}

# use_wine 32|64: the prefix, loader and server of that word size for what follows (WINE is the
# command that runs a program, WINESERVER_CMD the server).
use_wine() {
  unset WINELOADER WINESERVER
  if [ "$1" = 64 ]; then
    export WINEPREFIX=${TAVIKIT_WINEPREFIX64:-$STATE/prefix64} WINEARCH=win64
    export WINELOADER=$WINE64_LOADER WINESERVER=$WINESERVER64
    WINE=$WINE64_LOADER WINESERVER_CMD=$WINESERVER64
  else
    export WINEPREFIX=${TAVIKIT_WINEPREFIX:-$STATE/prefix} WINEARCH=win32
    WINE=wine WINESERVER_CMD=wineserver
  fi
}

# The word size of a Windows program: 64 for PE32+, else 32.
program_bits() {
  case "$(file -b "$1" 2>/dev/null)" in PE32+*) echo 64 ;; *) echo 32 ;; esac
}

# A persistent wineserver for the current prefix, and Wine's services booted with their output in
# the log: later runs take well under a second, and no helper process holds the caller's pipes
# open.
start_server() {
  [ "$PERSIST_SECONDS" -gt 0 ] 2>/dev/null || return 0
  if bounded 60 "starting the wineserver" "$WINESERVER_CMD" -p"$PERSIST_SECONDS" </dev/null >>"$LOG" 2>&1; then
    bounded 300 "booting Wine's services" setsid -w "$WINE" cmd.exe /c exit </dev/null >>"$LOG" 2>&1
  fi
  return 0
}

# Runs a Windows program from its own folder (where the DLL lies beside it) in the prefix of its
# word size, for at most TAVIKIT_WINE_TIMEOUT seconds.
run_windows() {
  local program=$1
  shift
  use_wine "$(program_bits "$program")"
  start_server
  (cd "$(dirname "$program")" && export ALSA_CONFIG_PATH=$ALSA_NULL_CONF &&
    bounded "$RUN_SECONDS" "$program" "$WINE" "./$(basename "$program")" "$@")
}

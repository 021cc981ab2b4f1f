# shellcheck shell=bash
# bounded SECONDS WHAT COMMAND [ARGS...]: runs COMMAND for at most SECONDS (then TERM, and KILL
# 10 s later) and passes its exit status on; when time runs out it says so, naming WHAT, on
# stderr and returns 124. Every step that runs a program under Wine or through qemu-i386 goes
# through it, so that no step waits without a bound.
bounded() {
  local seconds=$1 what=$2 rc
  shift 2
  timeout -k 10 "$seconds" "$@"
  rc=$?
  if [ $rc = 124 ] || [ $rc = 137 ]; then
    printf '%s: %s did not finish within %s s\n' "$(basename "$0")" "$what" "$seconds" >&2
    return 124
  fi
  return $rc
}

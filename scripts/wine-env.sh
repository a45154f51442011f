# Sourced, after setting root, by the scripts that run the project's Windows programs:
# the build they run, the Wine environment, the prefix, a private display when there
# is none, and a program in the background that is ended, by its PID, with the script.

build=${TARNAVEL_BUILD_DIR:-$root/build/mingw64}
case $build in /*) ;; *) build=$root/$build ;; esac
export WINEPREFIX=${WINEPREFIX:-$root/build/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}

# Creates the prefix on its first use.
use_wine_prefix() {
  "$root/scripts/wine-prefix.sh"
}

# Stops the script, saying so, unless every program named is in the build.
need_programs() {
  local who=$1 program
  shift
  for program in "$@"; do
    if [ ! -f "$build/$program" ]; then
      echo "$who: $build/$program is missing; build first (make build)" >&2
      exit 1
    fi
  done
}

# Without a display, runs the command given (the script again) on a private Xvfb
# that ends with it, in place of this shell.
need_display() {
  if [ -z "${DISPLAY:-}" ]; then
    exec "$root/scripts/with-display.sh" "$@"
  fi
}

# The program started by start_in_background. However the script ends, that program
# is ended by its PID, and so is the Wine server of this prefix with whatever still
# runs in it.
background=""
end_background() {
  if [ -n "$background" ]; then
    kill "$background" 2>/dev/null || true
  fi
  # Only the prefix this script used.
  wineserver -k 2>/dev/null || true
  if [ -n "$background" ]; then
    wait "$background" 2>/dev/null || true
  fi
}
start_in_background() {
  wine "$@" &
  background=$!
  trap end_background EXIT
  trap 'exit 130' INT TERM
}

# Runs a Windows program with its output in a log, shown as it grows; returns the
# program's exit code.
run_logged() {
  local log=$1 rc
  shift
  : >"$log"
  start_in_background "$@" >"$log" 2>&1
  tail -n +1 -f --pid="$background" "$log"
  wait "$background"
  rc=$?
  background=""
  return "$rc"
}

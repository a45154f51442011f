#!/usr/bin/env bash
# Real keys, typed through xdotool into the Wine desktop, against the real exe: the
# keyboard paths that the dialog manager turns into commands (Escape, Enter, Alt+F4).
# The driver exe starts nothing; it waits, posts commands and reads controls.
# Writes a JUnit file; exits non-zero when a case failed.
#
# usage: keys_test.sh <tarnavel.exe> <tarnavel_driver.exe> <results.xml>
set -u
if [ $# -ne 3 ]; then
  echo "usage: $0 <tarnavel.exe> <tarnavel_driver.exe> <results.xml>" >&2
  exit 2
fi
exe=$1 driver=$2 out=$3
root=$(cd "$(dirname "$0")/../.." && pwd)
# shellcheck source=scripts/wine-env.sh
. "$root/scripts/wine-env.sh"
# shellcheck source=tests/support/run_cases.sh
. "$root/tests/support/run_cases.sh"
# Run by hand without the test script's display: bring up a private one.
need_display bash "$0" "$@"
use_wine_prefix >/dev/null

mkdir -p "$(dirname "$out")"
log=$(mktemp)
app=""

# The first Wine program of a server starts its system services, which keep the file
# descriptors they were given for as long as the server lives: give them none of ours,
# or CTest would wait on its output pipe until its time-out.
wine "$driver" exists "" </dev/null >/dev/null 2>&1

drive() { wine "$driver" "$@" </dev/null 2>>"$log"; }

end_app() {
  [ -n "$app" ] || return 0
  if kill -0 "$app" 2>/dev/null; then
    drive close "Tarnavel" >/dev/null
    for _ in $(seq 1 50); do kill -0 "$app" 2>/dev/null || break; sleep 0.1; done
    kill "$app" 2>/dev/null
  fi
  wait "$app" 2>/dev/null
  app=""
}
trap 'end_app; rm -f "$log"' EXIT

# Says why when the main dialog does not come. The driver ends a wait that ran out with
# 1, having said so; any other code is a driver that did not run to its end (the prefix
# sends a crash to no debugger), which says nothing of Tarnavel: it is asked once more,
# and the log keeps the code.
start_app() {
  local rc
  wine "$exe" </dev/null >>"$log" 2>&1 &
  app=$!
  for _ in 1 2; do
    drive wait "Tarnavel" >/dev/null && return 0
    rc=$?
    [ $rc -eq 1 ] && break
    echo "keys_test: the driver's wait ended with $rc" >>"$log"
  done
  echo "the main dialog did not appear: the driver's wait ended with $rc, and Tarnavel" \
       "$(kill -0 "$app" 2>/dev/null && echo "still runs" || echo "had ended")"
  return 1
}

# Inside the Wine desktop each top-level window has an X window of its own, named by
# its caption, and keys go to the one with X focus. Focusing the desktop's own X window
# instead would leave no Wine window with the keyboard. The X window is the one of
# Tarnavel's own process (Wine gives each the process's PID) with that caption: any
# other program on the display may have a window of the same name.
focus_window() {
  local windows
  windows=$(xdotool search --all --onlyvisible --pid "$app" --name "^$1\$" 2>/dev/null)
  if [ "$(echo "$windows" | wc -w)" -ne 1 ]; then
    echo "Tarnavel has not one visible X window \"$1\" but: ${windows:-none}"
    return 1
  fi
  xdotool windowfocus --sync "$windows" 2>/dev/null || { echo "X focus did not go to \"$1\""; return 1; }
}

press() { xdotool key --delay 50 "$@"; }

# A window that a key should not close: still there a second and a half later.
stays_open() { ! wine "$driver" gone "$1" 1500 </dev/null >/dev/null 2>&1; }

# ---- cases: each says why it failed, and returns non-zero then -------------------
# They run in this shell, not in a subshell, so that the trap knows the app's PID.

escape_leaves_main_dialog_open() {
  start_app || return 1
  focus_window "Tarnavel" || return 1
  press Escape
  stays_open "Tarnavel" || { echo "Escape closed the main dialog"; return 1; }
  # The same keyboard path does close it with Alt+F4: proof that the keys arrive.
  press alt+F4
  drive gone "Tarnavel" 5000 || { echo "Alt+F4 did not close the main dialog: are keys reaching it?"; return 1; }
  end_app
}

enter_and_escape_leave_size_step_dialog_open() {
  local dialog="Set Resizing Value" text
  start_app || return 1
  drive post "Tarnavel" 40004 && drive wait "$dialog" >/dev/null || { echo "the size-step dialog did not open"; return 1; }
  focus_window "$dialog" || return 1
  xdotool type --delay 50 "42"
  # Until the keys have arrived, for five seconds at most: a busy machine is slow to.
  for _ in $(seq 1 50); do
    text=$(drive text "$dialog" 1021)
    [ "$text" = "42" ] && break
    sleep 0.1
  done
  [ "$text" = "42" ] || { echo "typing 42 gave the field \"$text\": keys do not reach it"; return 1; }
  press Return
  stays_open "$dialog" || { echo "Enter in the edit field closed the dialog"; return 1; }
  press Escape
  stays_open "$dialog" || { echo "Escape closed the dialog"; return 1; }
  drive send "$dialog" 1023 && drive gone "$dialog" 5000 || { echo "Cancel did not close the dialog"; return 1; }
  drive post "Tarnavel" 40004 && drive wait "$dialog" >/dev/null || { echo "the size-step dialog did not open again"; return 1; }
  text=$(drive text "$dialog" 1021)
  [ "$text" = "1" ] || { echo "after Enter the size step reads \"$text\", not 1"; return 1; }
  end_app
}

about_closes_on_alt_f4_not_on_escape() {
  local dialog="About Tarnavel"
  start_app || return 1
  drive post "Tarnavel" 40010 && drive wait "$dialog" >/dev/null || { echo "the About dialog did not open"; return 1; }
  focus_window "$dialog" || return 1
  press Escape
  stays_open "$dialog" || { echo "Escape closed the About dialog"; return 1; }
  press alt+F4
  drive gone "$dialog" 5000 || { echo "Alt+F4 did not close the About dialog"; return 1; }
  drive exists "Tarnavel" || { echo "Alt+F4 on the About dialog closed the main dialog too"; return 1; }
  end_app
}

# ---- run and report ---------------------------------------------------------------

after_case() { end_app; }
run_cases Keys "$out" escape_leaves_main_dialog_open enter_and_escape_leave_size_step_dialog_open \
  about_closes_on_alt_f4_not_on_escape
if [ "$failures" -ne 0 ] && [ -s "$log" ]; then
  echo "---- driver and Wine messages"
  cat "$log"
fi
echo "keys: $((total - failures)) passed, $failures failed"
[ "$failures" -eq 0 ]

#!/usr/bin/env bash
# Retakes the screenshots in docs/: the main dialog with a filled list and a row
# selected, and each of the five small dialogs, each cropped to its own window.
# Runs on a private display and ends, by PID, every program it started.
# Needs a build first (make build); TARNAVEL_BUILD_DIR picks another build directory.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source=scripts/wine-env.sh
. "$root/scripts/wine-env.sh"
# shellcheck source=scripts/desktop-settings.sh
. "$root/scripts/desktop-settings.sh"
docs=$root/docs
exe=$build/tarnavel.exe
driver=$build/tests/e2e/tarnavel_driver.exe

if [ "${1:-}" != "--on-this-display" ]; then
  need_programs dialog-screenshots tarnavel.exe tests/e2e/tarnavel_driver.exe
  use_wine_prefix
  exec "$root/scripts/with-display.sh" bash "$0" --on-this-display
fi

mkdir -p "$docs"
drive() { wine "$driver" "$@" </dev/null; }
pids=""
cleanup() {
  for pid in $pids; do kill "$pid" 2>/dev/null || true; done
  for pid in $pids; do wait "$pid" 2>/dev/null || true; done
}
trap cleanup EXIT

# A window's own rectangle out of the screen: the Wine desktop sits at 0,0 of the display.
shoot() {
  local caption=$1 out=$2 x y w h
  read -r x y w h < <(drive rect "$caption")
  import -window root -crop "${w}x${h}+${x}+${y}" +repage "$out"
  echo "==> $out (${w}x${h})"
}

# Some other programs' windows for the list to show, two of them hidden, one titled in
# other scripts. Wine reads the arguments in the Unix locale's character set: UTF-8.
LC_ALL=C.UTF-8 wine "$driver" windows 300 "Quarterly report - Editor" "Inbox (3) - Mail" "Calculator" \
  "-Backup agent" "Отчёт за квартал — Αναφορά" "Terminal - ~/projects" "-Print queue" \
  "Photos - holiday.jpg" </dev/null >/dev/null 2>&1 &
pids="$pids $!"
wine "$exe" </dev/null >/dev/null 2>&1 &
pids="$pids $!"
drive wait "Photos - holiday.jpg" >/dev/null
drive wait "Tarnavel" >/dev/null
drive send "Tarnavel" 40011 >/dev/null    # File > Refresh: list the windows made meanwhile
drive select "Tarnavel" "Quarterly report - Editor" >/dev/null
# The dialog opens beneath the windows already there; a click on its caption brings it
# forward and active, as a user would, and the pointer then leaves the shot for the
# desktop's far corner.
read -r x y _ _ < <(drive rect "Tarnavel")
xdotool mousemove $((x + 120)) $((y + 8)) click 1 mousemove $((desktop_width - 80)) $((desktop_height - 24))
sleep 0.5
shoot "Tarnavel" "$docs/tarnavel.png"

while IFS='|' read -r command caption name; do
  drive post "Tarnavel" "$command" >/dev/null
  drive wait "$caption" >/dev/null
  sleep 0.3
  shoot "$caption" "$docs/$name.png"
  drive close "$caption" >/dev/null
done <<'EOF'
40010|About Tarnavel|dialog-about
40004|Set Resizing Value|dialog-size-step
40005|Set Reposition Value|dialog-position-step
40009|Filters|dialog-filters
40007|Auto Refresh|dialog-auto-refresh
EOF

drive close "Tarnavel" >/dev/null

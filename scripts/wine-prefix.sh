#!/usr/bin/env bash
# Creates the project's Wine prefix once, with a virtual desktop so that every window
# lives inside one X window: no window manager is needed, geometry is exact, and
# screenshots show the captions Wine draws itself. On every call it gives the desktop
# the size and DPI this run asks for (scripts/desktop-settings.sh), since the prefix
# outlives a run: the registry is rewritten only when it holds something else.
set -eu
: "${WINEPREFIX:?}"
root=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source=scripts/desktop-settings.sh
. "$root/scripts/desktop-settings.sh"
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}

# A value of the prefix's user registry as Wine last saved it, or nothing. Wine saves
# it when its server ends, which every change made here waits for.
saved_value() {
  local section=$1 name=$2
  [ -f "$WINEPREFIX/user.reg" ] || return 0
  # Through the environment: awk -v would take the backslashes as escapes.
  SECTION="[$section]" NAME="\"$name\"=" awk '
    BEGIN { section = ENVIRON["SECTION"]; name = ENVIRON["NAME"] }
    index($0, section) == 1 { inside = 1; next }
    /^\[/ { inside = 0 }
    inside && index($0, name) == 1 { print substr($0, length(name) + 1); exit }' "$WINEPREFIX/user.reg"
}
saved_desktop() { saved_value 'Software\\Wine\\Explorer\\Desktops' Default | tr -d '"'; }
# Without a value of its own, the user has the machine's DPI: 96 in a new prefix.
saved_dpi() {
  local value
  value=$(saved_value 'Control Panel\\Desktop' LogPixels)
  case $value in
    dword:*) echo $((16#${value#dword:})) ;;
    *) echo 96 ;;
  esac
}

# Wine 8 reads the DPI from the user's LogPixels, and the size of the desktop named
# Default when its explorer starts: both take effect from the next server on.
write_desktop_settings() {
  DISPLAY= wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d "$desktop" /f >/dev/null 2>&1
  if [ "$(saved_dpi)" != "$desktop_dpi" ]; then
    DISPLAY= wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$desktop_dpi" /f >/dev/null 2>&1
  fi
}

settings_match() {
  [ "$(saved_desktop)" = "$desktop" ] && [ "$(saved_dpi)" = "$desktop_dpi" ]
}
# After the server has saved: a run must not go on, unnoticed, on another desktop.
settings_taken() {
  settings_match && return 0
  echo "the registry of $WINEPREFIX holds a $(saved_desktop) desktop at $(saved_dpi) DPI," \
       "not the $desktop at $desktop_dpi DPI written there" >&2
  return 1
}

if [ -f "$WINEPREFIX/.tarnavel-ready" ] && settings_match; then
  exit 0
fi
mkdir -p "$WINEPREFIX"
lock="$WINEPREFIX.lock"
exec 9>"$lock"
flock 9
if [ -f "$WINEPREFIX/.tarnavel-ready" ]; then
  settings_match && exit 0
  echo "==> Wine desktop of $WINEPREFIX: $desktop at $desktop_dpi DPI"
  write_desktop_settings
  # A server still running keeps its desktop; this waits for it to end and save.
  wineserver -w
  settings_taken
  exit
fi
echo "==> creating Wine prefix $WINEPREFIX ($desktop desktop at $desktop_dpi DPI)"
# wineboot needs no display; keep it off any display we were given.
DISPLAY= wineboot -i >/dev/null 2>&1 || true
DISPLAY= wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
write_desktop_settings
# Wine 8 does not pick up the Marlett font from its data folder by itself; without it
# the caption buttons show the letters that stand for their symbols.
if [ -f /usr/share/wine/fonts/marlett.ttf ]; then
  mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
  cp /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
fi
# A crashing test program should end and be reported, not wait in a debugger.
DISPLAY= wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /d '' /f >/dev/null 2>&1
wineserver -w
settings_taken
touch "$WINEPREFIX/.tarnavel-ready"

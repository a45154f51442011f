#!/usr/bin/env bash
# Creates the project's Wine prefix once, with a 1280x1024 virtual desktop so that
# every window lives inside one X window: no window manager is needed, geometry is
# exact, and screenshots show the captions Wine draws itself.
set -eu
: "${WINEPREFIX:?}"
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
[ -f "$WINEPREFIX/.tarnavel-ready" ] && exit 0
mkdir -p "$WINEPREFIX"
lock="$WINEPREFIX.lock"
exec 9>"$lock"
flock 9
[ -f "$WINEPREFIX/.tarnavel-ready" ] && exit 0
echo "==> creating Wine prefix $WINEPREFIX"
# wineboot needs no display; keep it off any display we were given.
DISPLAY= wineboot -i >/dev/null 2>&1 || true
DISPLAY= wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
DISPLAY= wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1280x1024 /f >/dev/null 2>&1
# Wine 8 does not pick up the Marlett font from its data folder by itself; without it
# the caption buttons show the letters that stand for their symbols.
if [ -f /usr/share/wine/fonts/marlett.ttf ]; then
  mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
  cp /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
fi
# A crashing test program should end and be reported, not wait in a debugger.
DISPLAY= wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /d '' /f >/dev/null 2>&1
wineserver -w
touch "$WINEPREFIX/.tarnavel-ready"

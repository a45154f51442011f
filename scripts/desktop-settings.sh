# Sourced by the scripts that start a display or a Wine prefix: the size of the Wine
# desktop and the DPI that this run asks for. make test passes its TEST_DESKTOP and
# TEST_DPI on as TARNAVEL_DESKTOP and TARNAVEL_DPI; unset or empty, they are the size
# and DPI that every test was first written on. A malformed value stops the script
# before anything runs, so that no test runs on a desktop nobody asked for.
#
# Sets desktop (WIDTHxHEIGHT), desktop_width, desktop_height and desktop_dpi.

desktop=${TARNAVEL_DESKTOP:-1280x1024}
desktop_dpi=${TARNAVEL_DPI:-96}

# No leading zeros: the shell would read 0768 as octal.
if ! [[ $desktop =~ ^([1-9][0-9]{0,4})x([1-9][0-9]{0,4})$ ]]; then
  echo "desktop size \"$desktop\" (TEST_DESKTOP, or TARNAVEL_DESKTOP) is not WIDTHxHEIGHT in pixels, such as 1024x768" >&2
  exit 2
fi
desktop_width=${BASH_REMATCH[1]}
desktop_height=${BASH_REMATCH[2]}
# The main dialog needs about 640x480; 8192 each way is past any monitor a user has.
if [ "$desktop_width" -lt 640 ] || [ "$desktop_height" -lt 480 ] ||
   [ "$desktop_width" -gt 8192 ] || [ "$desktop_height" -gt 8192 ]; then
  echo "desktop size $desktop (TEST_DESKTOP, or TARNAVEL_DESKTOP) is out of range: from 640x480 to 8192x8192" >&2
  exit 2
fi
# Windows offers 100 % (96 DPI) to 500 % (480 DPI).
if ! [[ $desktop_dpi =~ ^[1-9][0-9]{1,2}$ ]] || [ "$desktop_dpi" -lt 96 ] || [ "$desktop_dpi" -gt 480 ]; then
  echo "DPI \"$desktop_dpi\" (TEST_DPI, or TARNAVEL_DPI) is not a whole number from 96 (100 %) to 480 (500 %), such as 144" >&2
  exit 2
fi

#!/usr/bin/env bash
# Test fixture: a private Wine prefix and a virtual display for this test
# run, made once and shared by the Windows tests (they run one at a time).
# Fonts: the dialog fonts are linked to the outline font WenQuanYi Micro
# Hei, so Chinese texts show instead of boxes. Not Zen Hei: Wine draws its
# embedded bitmaps at dialog sizes without their thin horizontal strokes.
set -euo pipefail
here=$(dirname "$0")
# shellcheck source=wine_env.sh
. "$here/wine_env.sh"
"$here/stop_wine.sh" || true
rm -rf "$AGENDIA_WINE_STATE"
mkdir -p "$AGENDIA_WINE_STATE"

# A display of our own; Xvfb writes the number it took. It is started apart
# from this script's output, which CTest waits on. It keeps its state when
# its last client leaves (-noreset), the resource database below included.
exec 3>"$AGENDIA_WINE_STATE/display"
setsid Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset \
  >"$AGENDIA_WINE_STATE/xvfb.log" 2>&1 </dev/null &
echo $! >"$AGENDIA_WINE_STATE/xvfb.pid"
exec 3>&-
for _ in $(seq 1 100); do
  [ -s "$AGENDIA_WINE_STATE/display" ] && break
  sleep 0.1
done
[ -s "$AGENDIA_WINE_STATE/display" ] || fail "Xvfb did not start: $(cat "$AGENDIA_WINE_STATE/xvfb.log")"
export DISPLAY=":$(cat "$AGENDIA_WINE_STATE/display")"
# A bare Xvfb has no RESOURCE_MANAGER property, and without one libXcursor
# reads ~/.Xdefaults again for every cursor pixmap Wine makes: about half of
# Wine's CPU time in these tests. A resource that nothing reads gives the
# display a database, as a desktop session's display has.
echo "agendiaTestDisplay: true" | xrdb -nocpp -load - ||
  fail "cannot set the display's resource database (xrdb, from x11-xserver-utils)"

wine wineboot --init >/dev/null 2>&1 || fail "wineboot --init failed"
font="WenQuanYi Micro Hei"
for face in "SimSun" "宋体" "NSimSun" "Tahoma" "MS Sans Serif" "MS Shell Dlg" "Microsoft Sans Serif"; do
  wine reg add "HKLM\\Software\\Microsoft\\Windows NT\\CurrentVersion\\FontLink\\SystemLink" \
    /v "$face" /t REG_MULTI_SZ /d "wqy-microhei.ttc,$font" /f >/dev/null 2>&1 ||
    fail "cannot link the font $face"
done
for face in "SimSun" "宋体" "NSimSun"; do
  wine reg add "HKCU\\Software\\Wine\\Fonts\\Replacements" /v "$face" /t REG_SZ /d "$font" /f \
    >/dev/null 2>&1 || fail "cannot replace the font $face"
done
stop_wine
echo "Wine prefix $WINEPREFIX ready on display $DISPLAY"

#!/usr/bin/env bash
# Takes a picture of the Windows window (Agendia.dll under Wine, native
# controls) in each language, with a few sample memos due on 2024-03-01 and
# the first memo clicked:
#   docs/window-win32-zh-cn.png, docs/window-win32-zh-tw.png, docs/window-win32-en-us.png
# Needs the Windows build (scripts/build-windows.sh or scripts/build.sh),
# Wine, Xvfb, xdotool, sqlite3 and ImageMagick's import.
# Usage: tools/windows-screenshots.sh [OUTPUT_FOLDER] [WINDOWS_BUILD_ROOT]
# With AGENDIA_DPI=144 (or 192, ...) the screen has that many dots per inch,
# and the pictures are named window-win32-LANG-150.png (or -200, ...).
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-docs}
export AGENDIA_WINDOWS_BUILD=${2:-build/windows}
export AGENDIA_WINDOWS_BUILD=$(cd "$AGENDIA_WINDOWS_BUILD" && pwd)
export AGENDIA_WINE_STATE=$AGENDIA_WINDOWS_BUILD/screenshots-wine
tests/windows/setup_wine.sh >/dev/null
trap 'tests/windows/stop_wine.sh' EXIT
# shellcheck source=../tests/windows/wine_env.sh
. tests/windows/wine_env.sh
keep_wine_up
register_dll
suffix=
if [ -n "${AGENDIA_DPI:-}" ]; then
  wine reg add "HKCU\\Control Panel\\Desktop" /v LogPixels /t REG_DWORD /d "$AGENDIA_DPI" /f >/dev/null 2>&1
  suffix=-$(( AGENDIA_DPI * 100 / 96 ))
fi
work=$(mktemp -d)

samples() {  # language -> insert statements
  local lang=$1
  local rows=(
    "1|Dentist appointment|看牙医|看牙醫|0|07:05"
    "2|Read the overnight mail|查看夜间邮件|查看夜間郵件|1|08:30"
    "3|Team meeting|团队例会|團隊例會|2|09:30"
    "4|Send the weekly report|发送周报|發送週報|2|16:00"
    "5|Pay the office rent|支付办公室租金|支付辦公室租金|3|10:00"
    "6|Quarterly tax filing|季度报税|季度報稅|4|14:00"
    "7|Company anniversary|公司周年纪念|公司週年紀念|5|12:00"
  )
  for row in "${rows[@]}"; do
    IFS='|' read -r id english simplified traditional kind time <<<"$row"
    case $lang in
      en-us) title=$english content="Room 3, bring the notes." ;;
      zh-cn) title=$simplified content="$simplified：会议室 3，带上笔记本。" ;;
      zh-tw) title=$traditional content="$traditional：會議室 3，帶上筆記本。" ;;
    esac
    echo "insert into ZA_Message values ('SAMPLE-$id', 100, '$title', '$content', 'demo', 'demo',
          '2024-03-01 $time:00', 0, 0, $kind, '001', 2024);"
  done
}

mkdir -p "$out"
for lang in zh-cn zh-tw en-us; do
  db=$work/$lang.db
  { cat sql/sqlite/ZA_Message.sql; samples "$lang"; } | sqlite3 "$db"
  title=$(sed -n 's/^Q7\.PUB\.PORTAL\.frmCalendarInfo\.001=//p' "src/resources/texts/$lang.txt")
  wine cscript //nologo "$(winpath "$PWD/tests/windows/open_calendar.vbs")" \
    "Driver=SQLite3;Database=$db;NoCreat=1" demo 2024-03-01 "$lang" >"$work/$lang.log" 2>&1 &
  pid=$!
  calendar=$(timeout 60 xdotool search --sync --onlyvisible --name "^$title\$" 2>/dev/null | head -n 1)
  xdotool windowfocus --sync "$calendar" 2>/dev/null
  eval "$(xdotool getwindowgeometry --shell "$calendar" 2>/dev/null)"
  # The first memo of the tree: the second row of the tree view.
  row_height=$(( 16 * WIDTH / 529 ))
  xdotool mousemove --window "$calendar" --sync $(( 60 * WIDTH / 529 )) $(( 24 * WIDTH / 529 + row_height + row_height / 2 )) click 1 2>/dev/null
  sleep 1
  import -window "$calendar" "$out/window-win32-$lang$suffix.png"
  xdotool key Escape 2>/dev/null
  wait "$pid" || true
  echo "$out/window-win32-$lang$suffix.png"
done
rm -rf "$work"

# Sourced by the Windows tests: the Wine of this machine, the private Wine
# prefix and virtual display of this test run, and the built DLLs.
#   AGENDIA_WINDOWS_BUILD  folder holding x86_64/ and i686/ (the cross builds)
#   AGENDIA_WINE_STATE     folder of this run's prefix and display
# Exits 77 (skipped) with the reason when Wine is not installed.

: "${AGENDIA_WINDOWS_BUILD:?}"
: "${AGENDIA_WINE_STATE:?}"

# The 64-bit loader is called directly: the wine wrapper would pick the
# 32-bit one, which this machine's kernel refuses to run.
WINE=/usr/lib/wine/wine64
[ -x "$WINE" ] || WINE=$(command -v wine64 || true)
if [ -z "$WINE" ] || [ ! -x "$WINE" ]; then
  echo "SKIPPED: Wine (wine64) is not installed; scripts/bootstrap.sh installs it"
  exit 77
fi
WINESERVER=$(dirname "$WINE")/wineserver
[ -x "$WINESERVER" ] || WINESERVER=$(command -v wineserver || true)
export WINELOADER=$WINE WINESERVER
export WINEPREFIX=$AGENDIA_WINE_STATE/prefix
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export LC_ALL=C.UTF-8

DLL64=$AGENDIA_WINDOWS_BUILD/x86_64/bin/Agendia.dll
DLL32=$AGENDIA_WINDOWS_BUILD/i686/bin/Agendia.dll
BIN64=$AGENDIA_WINDOWS_BUILD/x86_64/bin

if [ -s "$AGENDIA_WINE_STATE/display" ]; then
  export DISPLAY=":$(cat "$AGENDIA_WINE_STATE/display")"
fi

fail() {
  echo "FAILED: $*" >&2
  exit 1
}

wine() { "$WINE" "$@"; }

# The Windows path of a file of this machine, as Wine's Z: drive shows it.
winpath() { echo "Z:${1//\//\\}"; }

# Asks the registry; prints what reg query prints, without carriage returns.
reg_query() { "$WINE" reg query "$@" 2>/dev/null | tr -d '\r'; }

# Registers the x64 DLL for the machine, as an installer's regsvr32 does.
register_dll() {
  wine regsvr32 /s "$(winpath "$DLL64")" || fail "regsvr32 $(winpath "$DLL64") failed"
}

# Keeps the Wine server of the prefix up between the commands of a test:
# each command then starts in a fraction of the time.
keep_wine_up() { "$WINESERVER" -p60 >/dev/null 2>&1 || true; }

# Waits for the Wine processes of this test to end, so the next test finds
# the prefix idle.
stop_wine() { "$WINESERVER" -k >/dev/null 2>&1 || true; }

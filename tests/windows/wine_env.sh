# Sourced by the Windows tests: the Wine of this machine, the private Wine
# prefix and virtual display of this test run, and the built DLLs.
#   AGENDIA_WINDOWS_BUILD  folder holding x86_64/ and i686/ (the cross builds)
#   AGENDIA_WINE_STATE     folder of this run's prefix and display
# Exits 77 (skipped) with the reason when Wine is not installed.

: "${AGENDIA_WINDOWS_BUILD:?}"
: "${AGENDIA_WINE_STATE:?}"

# 64-bit programs run through the 64-bit loader, called directly: with
# wine32 installed, the wine wrapper picks the 32-bit one. 32-bit programs
# (the hosts of the x86 DLL) run in the same prefix through the 32-bit
# loader, which starts the programs of C:\windows\syswow64.
WINE=/usr/lib/wine/wine64
WINE32=/usr/lib/wine/wine
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
# No debugger on a crash: the program ends at once and the test fails,
# rather than waiting on a debugger that nobody reads.
export WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
export LC_ALL=C.UTF-8

DLL64=$AGENDIA_WINDOWS_BUILD/x86_64/bin/Agendia.dll
DLL32=$AGENDIA_WINDOWS_BUILD/i686/bin/Agendia.dll
BIN64=$AGENDIA_WINDOWS_BUILD/x86_64/bin
BIN32=$AGENDIA_WINDOWS_BUILD/i686/bin

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

# Registers the DLL of the test's bitness (use_arch) for the machine, as an
# installer's regsvr32 does, and unregisters it again.
register_dll() {
  run "$SYSTEM\\regsvr32.exe" /s "$(winpath "$DLL")" || fail "regsvr32 $(winpath "$DLL") failed"
}
unregister_dll() {
  run "$SYSTEM\\regsvr32.exe" /u /s "$(winpath "$DLL")" >/dev/null 2>&1 || true
}

# Prints why this machine cannot run 32-bit Windows programs, or nothing when
# it can: the 32-bit loader (Debian's wine32:i386) must be installed and the
# kernel must run 32-bit programs, which starting the loader shows.
wine32_missing() {
  if [ ! -x "$WINE32" ]; then
    echo "the 32-bit Wine loader $WINE32 is missing (wine32:i386; scripts/bootstrap.sh installs it)"
  elif ! "$WINE32" --version >/dev/null 2>&1; then
    echo "this machine's kernel does not run 32-bit programs"
  elif [ -n "${WINEPREFIX:-}" ] && [ -d "$WINEPREFIX/drive_c/windows" ] &&
       [ ! -f "$WINEPREFIX/drive_c/windows/syswow64/cscript.exe" ]; then
    echo "the Wine prefix has no 32-bit programs (wine32 was installed after it was made)"
  fi
}

# Picks the bitness a test runs: "x86_64" (the default) or "i686". Sets
#   DLL, BIN       the DLL and the folder of its test programs
#   SYSTEM         the folder of the system programs of that bitness
#   VIEW           the registry view of that bitness (64 or 32)
#   run            the command that starts a program of that bitness
# and exits 77 (skipped), saying why, when 32-bit programs cannot run here.
use_arch() {
  ARCH=${1:-x86_64}
  case $ARCH in
    x86_64)
      DLL=$DLL64 BIN=$BIN64 SYSTEM='C:\windows\system32' VIEW=64
      run() { "$WINE" "$@"; }
      ;;
    i686)
      local missing
      missing=$(wine32_missing)
      if [ -n "$missing" ]; then
        echo "SKIPPED: the 32-bit DLL cannot run here: $missing"
        exit 77
      fi
      DLL=$DLL32 BIN=$BIN32 SYSTEM='C:\windows\syswow64' VIEW=32
      run() { "$WINE32" "$@"; }
      ;;
    *) fail "unknown bitness $ARCH (x86_64 or i686)" ;;
  esac
}
use_arch x86_64

# run_client LOG COMMAND...: runs the C++ client, keeps what it printed in
# LOG without carriage returns and shows it; fails the test when the client
# reported failures.
run_client() {
  local log=$1 status=0
  shift
  "$@" >"$log" || status=$?
  tr -d '\r' <"$log" >"$log.txt" && mv "$log.txt" "$log"
  cat "$log"
  [ "$status" = 0 ] || fail "the client reported failures (status $status)"
}

# Keeps the Wine server of the prefix up between the commands of a test:
# each command then starts in a fraction of the time.
keep_wine_up() { "$WINESERVER" -p60 >/dev/null 2>&1 || true; }

# Waits for the Wine processes of this test to end, so the next test finds
# the prefix idle.
stop_wine() { "$WINESERVER" -k >/dev/null 2>&1 || true; }

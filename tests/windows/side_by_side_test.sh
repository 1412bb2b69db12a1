#!/usr/bin/env bash
# Both DLLs side by side, as a machine with 64-bit and 32-bit hosts has them:
# each class in its own registry view. Removing one leaves the other whole,
# and a script host of the other bitness still creates AgendiaVB.Calender by
# ProgID; removing both leaves nothing in either view. Keys and values are
# read back with reg query.
# Usage: side_by_side_test.sh regsvr32|package: registered by regsvr32 from
# the build, or installed by the two Windows Installer packages.
set -euo pipefail
here=$(dirname "$0")
# shellcheck source=wine_env.sh
. "$here/wine_env.sh"
# shellcheck source=registry_check.sh
. "$here/registry_check.sh"
how=${1:-regsvr32}
use_arch i686  # skips where 32-bit programs cannot run
[ -f "$DLL64" ] || fail "$DLL64 was not built"
[ -f "$DLL32" ] || fail "$DLL32 was not built"

if [ "$how" = package ]; then
  if ! why=$(package_paths); then
    echo "SKIPPED: $why"
    exit 77
  fi
  package_paths >/dev/null
  msi32=$(winpath "$MSI") dll32=$INSTALLED_DLL folder32=$INSTALLED_FOLDER
  use_arch x86_64
  package_paths >/dev/null || fail "no x64 package beside the x86 one"
  msi64=$(winpath "$MSI") dll64=$INSTALLED_DLL folder64=$INSTALLED_FOLDER
  add64() { "$WINE" 'C:\windows\system32\msiexec.exe' /i "$msi64" /qn; }
  remove64() { "$WINE" 'C:\windows\system32\msiexec.exe' /x "$msi64" /qn; }
  add32() { "$WINE32" 'C:\windows\syswow64\msiexec.exe' /i "$msi32" /qn; }
  remove32() { "$WINE32" 'C:\windows\syswow64\msiexec.exe' /x "$msi32" /qn; }
else
  dll64=$(winpath "$DLL64") dll32=$(winpath "$DLL32")
  add64() { "$WINE" 'C:\windows\system32\regsvr32.exe' /s "$dll64"; }
  remove64() { "$WINE" 'C:\windows\system32\regsvr32.exe' /u /s "$dll64"; }
  add32() { "$WINE32" 'C:\windows\syswow64\regsvr32.exe' /s "$dll32"; }
  remove32() { "$WINE32" 'C:\windows\syswow64\regsvr32.exe' /u /s "$dll32"; }
fi
trap '{ remove64; remove32; } >/dev/null 2>&1 || true; stop_wine' EXIT
keep_wine_up

# create BITS: CreateObject by ProgID from the script host of that bitness.
create() {
  local loader=$WINE system=system32 output
  [ "$1" = 32 ] && loader=$WINE32 system=syswow64
  output=$("$loader" "C:\\windows\\$system\\cscript.exe" //nologo "$(winpath "$here/create_object.vbs")" 2>&1 |
    tr -d '\r') || fail "the $1-bit script host cannot create AgendiaVB.Calender: $output"
  [ "$output" = "created: _Calender, PortalEnabled: False" ] ||
    fail "the $1-bit script host printed: $output"
  echo "ok: the $1-bit script host creates AgendiaVB.Calender by ProgID"
}

add64 || fail "adding the 64-bit DLL ($how) failed"
add32 || fail "adding the 32-bit DLL ($how) failed"
check_registered HKCR 64 "$dll64" win64
check_registered HKCR 32 "$dll32" win32

remove64 || fail "removing the 64-bit DLL ($how) failed"
check_gone HKCR 64 "CLSID\\$clsid"
check_registered HKCR 32 "$dll32" win32
create 32

add64 || fail "adding the 64-bit DLL again ($how) failed"
remove32 || fail "removing the 32-bit DLL ($how) failed"
check_gone HKCR 32 "CLSID\\$clsid"
check_registered HKCR 64 "$dll64" win64
create 64

remove64 || fail "removing the 64-bit DLL ($how) failed"
check_gone HKCR 64
check_gone HKCR 32
if [ "$how" = package ]; then
  if [ -e "$folder64" ] || [ -e "$folder32" ]; then fail "removing both packages left files"; fi
  echo "ok: removing both packages left no file"
fi

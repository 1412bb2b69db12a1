#!/usr/bin/env bash
# regsvr32 registers Agendia.dll (class, both ProgIDs, type library and its
# interface) and regsvr32 /u removes every key again; the same per user with
# /n /i:user. Each key and value is read back with reg query, in the
# registry view of the DLL's bitness.
# Usage: registration_test.sh [x86_64|i686]: the x86 DLL is registered by
# the 32-bit regsvr32 (SysWOW64), as a 32-bit host's installer does.
set -euo pipefail
here=$(dirname "$0")
# shellcheck source=wine_env.sh
. "$here/wine_env.sh"
# shellcheck source=registry_check.sh
. "$here/registry_check.sh"
use_arch "${1:-x86_64}"
trap 'unregister_dll; stop_wine' EXIT
keep_wine_up
[ -f "$DLL" ] || fail "$DLL was not built"
dll=$(winpath "$DLL")
platform=win64
[ "$ARCH" = i686 ] && platform=win32
regsvr32() { run "$SYSTEM\\regsvr32.exe" "$@"; }

regsvr32 /s "$dll" || fail "regsvr32 failed"
check_registered "HKCR" "$VIEW" "$dll" "$platform"
# Registering again replaces, and unregistering once removes everything.
regsvr32 /s "$dll" || fail "registering a second time failed"
regsvr32 /u /s "$dll" || fail "regsvr32 /u failed"
check_gone "HKCR" "$VIEW"
# A ProgID that another class has taken since is left alone.
regsvr32 /s "$dll" && reg_in "$VIEW" add "HKCR\\AgendiaVB.Calender\\CLSID" /ve \
  /d "{00000000-0000-0000-0000-000000000001}" /f >/dev/null 2>&1
regsvr32 /u /s "$dll" || fail "regsvr32 /u failed"
reg_in "$VIEW" query "HKCR\\AgendiaVB.Calender\\CLSID" /ve 2>/dev/null | grep -q "{00000000-0000-0000-0000-000000000001}" ||
  fail "unregistering removed a ProgID that names another class"
reg_in "$VIEW" delete "HKCR\\AgendiaVB.Calender" /f >/dev/null 2>&1
echo "ok: a ProgID naming another class is left alone"

regsvr32 /s /n /i:user "$dll" || fail "regsvr32 /n /i:user failed"
check_registered "HKCU\\Software\\Classes" "$VIEW" "$dll" "$platform"
reg_in "$VIEW" query "HKLM\\Software\\Classes\\CLSID\\$clsid" >/dev/null 2>&1 &&
  fail "registering per user wrote to the machine's classes"
regsvr32 /u /s /n /i:user "$dll" || fail "regsvr32 /u /n /i:user failed"
check_gone "HKCU\\Software\\Classes" "$VIEW"

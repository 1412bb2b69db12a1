#!/usr/bin/env bash
# regsvr32 registers Agendia.dll (class, both ProgIDs, type library and its
# interface) and regsvr32 /u removes every key again; the same per user with
# /n /i:user. Each key and value is read back with reg query.
set -euo pipefail
here=$(dirname "$0")
# shellcheck source=wine_env.sh
. "$here/wine_env.sh"
trap stop_wine EXIT
keep_wine_up
[ -f "$DLL64" ] || fail "$DLL64 was not built"

clsid="{9743C9BA-1A0D-4FB9-9C91-565902349C19}"
libid="{EE2600D7-6355-480D-B19E-FE11CEB7E268}"
iid="{205F0770-DB11-4662-8995-AB342F91D060}"
dll=$(winpath "$DLL64")

# key|value name ("" for the default value)|expected data
expected_values() {
  local root=$1
  cat <<VALUES
$root\\CLSID\\$clsid||AgendiaVB.Calender
$root\\CLSID\\$clsid\\InprocServer32||$dll
$root\\CLSID\\$clsid\\InprocServer32|ThreadingModel|Apartment
$root\\CLSID\\$clsid\\ProgID||AgendiaVB.Calender.1
$root\\CLSID\\$clsid\\VersionIndependentProgID||AgendiaVB.Calender
$root\\CLSID\\$clsid\\TypeLib||$libid
$root\\CLSID\\$clsid\\Version||1.0
$root\\AgendiaVB.Calender.1\\CLSID||$clsid
$root\\AgendiaVB.Calender\\CLSID||$clsid
$root\\AgendiaVB.Calender\\CurVer||AgendiaVB.Calender.1
$root\\TypeLib\\$libid\\1.0||AgendiaVB
$root\\TypeLib\\$libid\\1.0\\409\\win64||$dll
$root\\Interface\\$iid||_Calender
$root\\Interface\\$iid\\TypeLib||$libid
$root\\Interface\\$iid\\ProxyStubClsid32||{00020424-0000-0000-C000-000000000046}
VALUES
}

# Every value under the five keys of a registration, one line each:
# key|name|data, with the root spelt as in the table above. One reg query
# per key: Wine starts slowly.
dump_values() {
  local root=$1 long
  case $root in
    HKCR) long=HKEY_CLASSES_ROOT ;;
    HKCU*) long=HKEY_CURRENT_USER${root#HKCU} ;;
  esac
  for key in "CLSID\\$clsid" AgendiaVB.Calender AgendiaVB.Calender.1 "TypeLib\\$libid" "Interface\\$iid"; do
    reg_query "$root\\$key" /s
  done | LONG=$long SHORT=$root awk '
    /^HKEY_/ { key = ENVIRON["SHORT"] substr($0, length(ENVIRON["LONG"]) + 1); next }
    /REG_SZ/ {
      line = $0; sub(/^ +/, "", line)
      split(line, parts, /    /)
      name = parts[1] == "(Default)" ? "" : parts[1]
      data = substr(line, index(line, "REG_SZ") + 10)
      if (data == line) data = ""
      print key "|" name "|" data
    }'
}

check_registered() {
  local root=$1 failures=0 dump
  dump=$(dump_values "$root")
  while IFS='|' read -r key name data; do
    # Passed through the environment: awk -v would read the backslashes.
    actual=$(printf '%s\n' "$dump" | K=$key N=$name awk -F'|' '
      $1 == ENVIRON["K"] && $2 == ENVIRON["N"] { print substr($0, length($1) + length($2) + 3); exit }')
    if [ "$actual" != "$data" ]; then
      echo "FAILED: $key ${name:-(Default)}: expected '$data', found '$actual'" >&2
      failures=$((failures + 1))
    fi
  done < <(expected_values "$root")
  [ "$failures" = 0 ] || fail "$failures registry value(s) wrong under $root"
  echo "ok: every key and value under $root"
}

check_gone() {
  local root=$1 left=0
  for key in "$root\\CLSID\\$clsid" "$root\\AgendiaVB.Calender" "$root\\AgendiaVB.Calender.1" \
             "$root\\TypeLib\\$libid" "$root\\Interface\\$iid"; do
    if wine reg query "$key" >/dev/null 2>&1; then
      echo "FAILED: $key is still there after unregistering" >&2
      left=$((left + 1))
    fi
  done
  [ "$left" = 0 ] || fail "unregistering left $left key(s) under $root"
  echo "ok: unregistering removed every key under $root"
}

wine regsvr32 /s "$dll" || fail "regsvr32 failed"
check_registered "HKCR"
# Registering again replaces, and unregistering once removes everything.
wine regsvr32 /s "$dll" || fail "registering a second time failed"
wine regsvr32 /u /s "$dll" || fail "regsvr32 /u failed"
check_gone "HKCR"
# A ProgID that another class has taken since is left alone.
wine reg add "HKCR\\AgendiaVB.Calender\\CLSID" /ve /d "{00000000-0000-0000-0000-000000000001}" /f >/dev/null 2>&1
wine regsvr32 /s "$dll" && wine reg add "HKCR\\AgendiaVB.Calender\\CLSID" /ve \
  /d "{00000000-0000-0000-0000-000000000001}" /f >/dev/null 2>&1
wine regsvr32 /u /s "$dll" || fail "regsvr32 /u failed"
reg_query "HKCR\\AgendiaVB.Calender\\CLSID" /ve | grep -q "{00000000-0000-0000-0000-000000000001}" ||
  fail "unregistering removed a ProgID that names another class"
wine reg delete "HKCR\\AgendiaVB.Calender" /f >/dev/null 2>&1
echo "ok: a ProgID naming another class is left alone"

wine regsvr32 /s /n /i:user "$dll" || fail "regsvr32 /n /i:user failed"
check_registered "HKCU\\Software\\Classes"
wine reg query "HKLM\\Software\\Classes\\CLSID\\$clsid" >/dev/null 2>&1 &&
  fail "registering per user wrote to the machine's classes"
wine regsvr32 /u /s /n /i:user "$dll" || fail "regsvr32 /u /n /i:user failed"
check_gone "HKCU\\Software\\Classes"

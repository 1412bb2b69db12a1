#!/usr/bin/env bash
# Both DLLs, x64 and x86, export exactly the COM server's entry points and
# carry the type library with the identities a host binds to. The type
# library of the x86 DLL is read as data by the x64 checker, so this check
# holds also where 32-bit programs cannot run.
set -euo pipefail
here=$(dirname "$0")
# shellcheck source=wine_env.sh
. "$here/wine_env.sh"
trap stop_wine EXIT

expected="DllCanUnloadNow DllGetClassObject DllInstall DllRegisterServer DllUnregisterServer"
for dll in "$DLL64" "$DLL32"; do
  [ -f "$dll" ] || fail "$dll was not built"
  exports=$(x86_64-w64-mingw32-objdump -p "$dll" |
    sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' | awk '$1 == "[" && NF == 3 { print $3 }' | sort | xargs)
  [ "$exports" = "$expected" ] || fail "$dll exports '$exports', expected '$expected'"
  echo "ok: $dll exports exactly $expected"
  imports=$(x86_64-w64-mingw32-objdump -p "$dll" | sed -n 's/^\s*DLL Name: //p' | tr 'A-Z' 'a-z' | sort | xargs)
  for import in $imports; do
    case $import in
      advapi32.dll|comctl32.dll|gdi32.dll|kernel32.dll|msvcrt.dll|ole32.dll|oleaut32.dll|user32.dll|odbc32.dll) ;;
      *) fail "$dll needs $import beside it" ;;
    esac
  done
  echo "ok: $dll needs only system DLLs ($imports)"
done

bits=64
for dll in "$DLL64" "$DLL32"; do
  wine "$BIN64/agendia_typelib_check.exe" "$(winpath "$dll")" "$bits" | tr -d '\r' ||
    fail "the type library of $dll differs"
  bits=32
done

# shellcheck shell=bash
# Sourced by the registration tests, after wine_env.sh: every key and value a
# registration of Agendia.dll writes, read back with reg query in the
# registry view of one bitness, and the check that unregistering left none
# of them. A view is read by the reg.exe of its bitness (64 or 32), which
# sees the keys as the hosts of that bitness see them; 64-bit reg's /reg:32
# does not take the keys that Wine shares between the views from where a
# 32-bit program finds them.

# reg_in BITS ARGS...: reg.exe of that bitness.
reg_in() {
  local bits=$1
  shift
  if [ "$bits" = 32 ]; then
    "$WINE32" 'C:\windows\syswow64\reg.exe' "$@"
  else
    "$WINE" 'C:\windows\system32\reg.exe' "$@"
  fi
}

clsid="{9743C9BA-1A0D-4FB9-9C91-565902349C19}"
libid="{EE2600D7-6355-480D-B19E-FE11CEB7E268}"
iid="{205F0770-DB11-4662-8995-AB342F91D060}"

# key|value name ("" for the default value)|expected data, for the DLL at
# the Windows path $2 of the platform $3 (win64 or win32).
expected_values() {
  local root=$1 dll=$2 platform=$3
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
$root\\TypeLib\\$libid\\1.0\\409\\$platform||$dll
$root\\Interface\\$iid||_Calender
$root\\Interface\\$iid\\TypeLib||$libid
$root\\Interface\\$iid\\ProxyStubClsid32||{00020424-0000-0000-C000-000000000046}
VALUES
}

# Every value under the five keys of a registration in the registry view $2
# (64 or 32), one line each: key|name|data, with the root spelt as
# in the table above. One reg query per key: Wine starts slowly.
dump_values() {
  local root=$1 view=$2 long
  case $root in
    HKCR) long=HKEY_CLASSES_ROOT ;;
    HKCU*) long=HKEY_CURRENT_USER${root#HKCU} ;;
  esac
  for key in "CLSID\\$clsid" AgendiaVB.Calender AgendiaVB.Calender.1 "TypeLib\\$libid" "Interface\\$iid"; do
    reg_in "$view" query "$root\\$key" /s 2>/dev/null | tr -d '\r'
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

# check_registered ROOT VIEW DLL PLATFORM
check_registered() {
  local root=$1 view=$2 failures=0 dump
  dump=$(dump_values "$root" "$view")
  while IFS='|' read -r key name data; do
    # Passed through the environment: awk -v would read the backslashes.
    actual=$(printf '%s\n' "$dump" | K=$key N=$name awk -F'|' '
      $1 == ENVIRON["K"] && $2 == ENVIRON["N"] { print substr($0, length($1) + length($2) + 3); exit }')
    if [ "$actual" != "$data" ]; then
      echo "FAILED: $key ${name:-(Default)} ($view-bit view): expected '$data', found '$actual'" >&2
      failures=$((failures + 1))
    fi
  done < <(expected_values "$root" "$3" "$4")
  [ "$failures" = 0 ] || fail "$failures registry value(s) wrong under $root ($view-bit view)"
  echo "ok: every key and value under $root ($view-bit view) names $3"
}

# check_gone ROOT VIEW [KEY...]: none of the keys (all five when none are
# named) is left in the view.
check_gone() {
  local root=$1 view=$2 left=0
  shift 2
  [ $# -gt 0 ] || set -- "CLSID\\$clsid" AgendiaVB.Calender AgendiaVB.Calender.1 "TypeLib\\$libid" "Interface\\$iid"
  for key in "$@"; do
    if reg_in "$view" query "$root\\$key" >/dev/null 2>&1; then
      echo "FAILED: $root\\$key ($view-bit view) is still there after unregistering" >&2
      left=$((left + 1))
    fi
  done
  [ "$left" = 0 ] || fail "unregistering left $left key(s) under $root ($view-bit view)"
  echo "ok: none of $* is left under $root ($view-bit view)"
}

# The Windows Installer package of the test's bitness (use_arch), and where
# it installs: Program Files\Agendia, the 32-bit Program Files for x86. The
# x86 package is installed by the 32-bit msiexec, which writes the keys that
# both registry views share where 32-bit programs find them.
# Returns 1, saying why, when there is no package (wixl is not installed).
package_paths() {
  local platform=x64 folder='C:\Program Files'
  [ "$ARCH" = i686 ] && platform=x86 folder='C:\Program Files (x86)'
  MSI=$(find "$AGENDIA_WINDOWS_BUILD/$ARCH/bin" -maxdepth 1 -name "Agendia-*-$platform.msi" | head -n 1)
  if [ -z "$MSI" ]; then
    echo "no Windows Installer package in $AGENDIA_WINDOWS_BUILD/$ARCH/bin (wixl is not installed)"
    return 1
  fi
  INSTALLED_DLL="$folder\\Agendia\\Agendia.dll"
  INSTALLED_FOLDER=$WINEPREFIX/drive_c/${folder#C:\\}/Agendia
}
msiexec() { run "$SYSTEM\\msiexec.exe" "$@"; }

# Installs the package and checks its files and every key and value.
install_package() {
  msiexec /i "$(winpath "$MSI")" /qn || fail "msiexec /i $(basename "$MSI") failed"
  for file in Agendia.dll agendia-resources/en-us.txt agendia-resources/zh-cn.txt agendia-resources/zh-tw.txt; do
    [ -f "$INSTALLED_FOLDER/$file" ] || fail "msiexec /i did not install $file into $INSTALLED_FOLDER"
  done
  echo "ok: msiexec /i $(basename "$MSI") installed Agendia.dll and its texts into $INSTALLED_FOLDER"
  check_registered HKCR "$VIEW" "$INSTALLED_DLL" "$([ "$ARCH" = i686 ] && echo win32 || echo win64)"
}

# The package's keys are exactly those DllRegisterServer writes: registering
# the installed DLL over them changes and adds nothing. Then msiexec /x
# removes every file and key.
check_package_and_remove() {
  local packaged registered
  packaged=$(dump_values HKCR "$VIEW")
  run "$SYSTEM\\regsvr32.exe" /s "$INSTALLED_DLL" || fail "regsvr32 of the installed DLL failed"
  registered=$(dump_values HKCR "$VIEW")
  if [ "$packaged" != "$registered" ]; then
    diff <(echo "$packaged") <(echo "$registered") >&2 || true
    fail "the package's registry rows differ from what DllRegisterServer writes (< package, > regsvr32)"
  fi
  echo "ok: the package writes exactly the keys and values DllRegisterServer writes"
  msiexec /x "$(winpath "$MSI")" /qn || fail "msiexec /x $(basename "$MSI") failed"
  [ ! -e "$INSTALLED_FOLDER" ] || fail "msiexec /x left $(find "$INSTALLED_FOLDER" -print0 | xargs -0)"
  echo "ok: msiexec /x removed $INSTALLED_FOLDER"
  check_gone HKCR 64
  check_gone HKCR 32
}

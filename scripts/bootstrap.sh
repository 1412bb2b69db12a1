#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing Agendia
# need. Quick and silent when everything is there already.
#   scripts/bootstrap.sh              what scripts/test.sh and run-portal.sh need
#   scripts/bootstrap.sh --sanitize   and clang for the sanitizer and fuzz stage
set -euo pipefail

packages=(
  g++ cmake make pkgconf ccache
  qt6-base-dev qt6-base-dev-tools libgl-dev qt6-translations-l10n
  libgtest-dev libgmock-dev
  libsqlite3-dev sqlite3
  unixodbc unixodbc-dev odbc-postgresql tdsodbc libsqliteodbc postgresql
  procps  # ps: the PostgreSQL fixture finds the server's processes to pause them
  # The TDS protocol stand-in the SQL Server tests reach through FreeTDS.
  python3
  xvfb xauth xdotool xclip x11-utils libx11-dev  # x11-utils: xprop, for the task-bar check
  x11-xserver-utils  # xrdb: the Wine tests' display gets a resource database
  fonts-wqy-zenhei fonts-dejavu-core
  # The Windows build (Agendia.dll) and its tests under Wine: the mingw-w64
  # tool chains, widl and the IDL files it imports, the 64-bit Wine, and the
  # host's ODBC driver manager and SQLite driver that Wine's odbc32 uses,
  # and the outline Chinese font Wine draws the dialog fonts with (Wine
  # drops strokes of WenQuanYi Zen Hei's embedded bitmaps: hyphens vanish).
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix mingw-w64-tools libwine-dev
  wine64 unixodbc libsqliteodbc fonts-wqy-microhei
  # The x86 DLL's tests: the 32-bit Wine, which runs 32-bit programs in the
  # same prefix, the 32-bit ODBC driver manager its odbc32 loads, and the
  # 32-bit SQLite ODBC driver that hands to (the driver does not pull the
  # driver manager in by itself).
  wine32:i386 libodbc2:i386 libsqliteodbc:i386
  # The Windows Installer packages of both DLLs.
  wixl
)

# The sanitizer and fuzz stage (scripts/test.sh --sanitize) builds with clang;
# llvm gives the sanitizers' reports their function names and lines.
if [ "${1:-}" = --sanitize ]; then
  packages+=(clang libclang-rt-14-dev llvm)
fi
missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
export DEBIAN_FRONTEND=noninteractive
if [[ " ${missing[*]}" == *:i386* ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
  "${sudo_cmd[@]}" dpkg --add-architecture i386
fi
"${sudo_cmd[@]}" apt-get update -qq
# dpkg without a file-system sync per unpacked file (--force-unsafe-io): a
# third less system time for these some 330 packages. A power loss during
# the install may leave files of a package empty: install it again then.
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends \
  -o Dpkg::Options::=--force-unsafe-io "${missing[@]}" >/dev/null

#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing Agendia
# need. Quick and silent when everything is there already.
set -euo pipefail

packages=(
  g++ cmake make pkgconf ccache
  qt6-base-dev qt6-base-dev-tools libgl-dev qt6-translations-l10n
  libgtest-dev libgmock-dev
  libsqlite3-dev sqlite3
  unixodbc unixodbc-dev odbc-postgresql tdsodbc libsqliteodbc postgresql
  procps  # ps: the PostgreSQL fixture finds the server's processes to pause them
  xvfb xauth xdotool xclip libx11-dev
  clang libclang-rt-14-dev llvm
  fonts-wqy-zenhei fonts-dejavu-core
  # The Windows build (Agendia.dll) and its tests under Wine: the mingw-w64
  # tool chains, widl and the IDL files it imports, the 64-bit Wine, and the
  # host's ODBC driver manager and SQLite driver that Wine's odbc32 uses,
  # and the outline Chinese font Wine draws the dialog fonts with (Wine
  # drops strokes of WenQuanYi Zen Hei's embedded bitmaps: hyphens vanish).
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix mingw-w64-tools libwine-dev
  wine64 unixodbc libsqliteodbc fonts-wqy-microhei
)

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
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null

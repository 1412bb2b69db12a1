#!/usr/bin/env bash
# The early-bound C++ client (built with mingw from widl's header) creates
# Calender by class identifier from the registered DLL and calls every member
# through the vtable; the window opens on an SQLite database through ODBC
# and is closed by the client.
# Usage: com_client_test.sh [x86_64|i686]: the client and DLL of that
# bitness, the x86 one registered with the 32-bit regsvr32 (SysWOW64).
set -euo pipefail
here=$(dirname "$0")
# shellcheck source=wine_env.sh
. "$here/wine_env.sh"
use_arch "${1:-x86_64}"
work=$(mktemp -d)
trap 'unregister_dll; stop_wine; rm -rf "$work"' EXIT
keep_wine_up
[ -f "$DLL" ] || fail "$DLL was not built"
register_dll

db=$work/VXSystem.db
sqlite3 "$db" <"$AGENDIA_SQL_DIR/sqlite/ZA_Message.sql"
# A memo of each kind due on the client's day, and a second one of the
# once kind: more rows than the tree's box shows.
for row in 1:0 2:0 3:1 4:2 5:3 6:4 7:5; do
  echo "insert into ZA_Message values ('CLIENT-${row%:*}', 100, 'Memo ${row%:*}', '', 'demo', 'demo',
        '2024-03-01 09:00:00', 0, 0, ${row#*:}, '001', 2024);"
done | sqlite3 "$db"
# Wine's odbc32 hands the string to the host's unixODBC (of the program's
# bitness), whose SQLite driver takes the Linux path.
run_client "$work/client.log" run "$BIN/agendia_com_client.exe" "Driver=SQLite3;Database=$db;NoCreat=1" en-us

# The same window on 10,000 more daily memos: the tree keeps all it shows
# (the count, the order read, the texts, the view at its first node, no
# node selected).
bulk=10000
sqlite3 "$db" "with recursive c(x) as (select 1 union all select x + 1 from c where x < $bulk)
  insert into ZA_Message select printf('BULK-%05d', x), 100, 'Bulk ' || x, '', 'demo', 'demo',
    '2024-03-01 10:00:00', 0, 0, 1, '001', 2024 from c;"
run_client "$work/client.log" run "$BIN/agendia_com_client.exe" "Driver=SQLite3;Database=$db;NoCreat=1" en-us "$bulk"

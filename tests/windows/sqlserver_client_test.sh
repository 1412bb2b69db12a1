#!/usr/bin/env bash
# Agendia.dll under Wine on the TDS protocol stand-in (tests/db/odbc/
# tds_stand_in.py, not SQL Server), as a portal whose memos live on SQL
# Server opens it: the early-bound C++ client passes the host's own OLE DB
# string; Wine's odbc32 hands it to this machine's unixODBC and FreeTDS. The
# window lists the memos the stand-in holds, the login carries the user and
# the application name, and the statements carry their text as N'...'.
set -euo pipefail
here=$(dirname "$0")
# shellcheck source=wine_env.sh
. "$here/wine_env.sh"
: "${AGENDIA_TDS_STATE:?}"
work=$(mktemp -d)
# Unregistered on the way out: the tests share one prefix, and a later one
# checks that removing its package leaves no key in either registry view.
trap 'unregister_dll; stop_wine; rm -rf "$work"' EXIT

# shellcheck disable=SC1091
. "$AGENDIA_TDS_STATE/stand-in.env" || fail "the TDS stand-in is not running (fixture TdsStandIn.Start)"
control() {
  python3 - "$CONTROL_PORT" "$1" <<'PY'
import socket, sys
with socket.create_connection(("127.0.0.1", int(sys.argv[1]))) as s:
    s.sendall((sys.argv[2] + "\n").encode())
    answer = s.makefile(encoding="utf-8").read()
lines = answer.splitlines()
if not lines or lines[0] != "ok":
    sys.exit("the stand-in refused " + sys.argv[2] + ": " + answer)
print("\n".join(lines[1:]))
PY
}

control "reset Chinese_Taiwan_Stroke_CI_AS" >/dev/null
# A memo of each kind due on the client's day, and a second one of the
# once kind, as the client expects them.
for row in 1:0 2:0 3:1 4:2 5:3 6:4 7:5; do
  control "add-memo CLIENT-${row%:*}|Memo ${row%:*}|${row#*:}" >/dev/null
done

keep_wine_up
register_dll
set +e
wine "$BIN64/agendia_com_client.exe" \
  "Provider=SQLNCLI11;Server=tcp:127.0.0.1,$TDS_PORT;Database=VXSystem;Uid=portal;Pwd=St4nd-in!" \
  en-us >"$work/client.log"
status=$?
set -e
tr -d '\r' <"$work/client.log" >"$work/client.txt" && mv "$work/client.txt" "$work/client.log"
cat "$work/client.log"
[ "$status" = 0 ] || fail "the client reported failures (status $status)"
grep -q "St4nd-in" "$work/client.log" && fail "the password appears in the client's output"

logins=$(control logins)
echo "logins: $logins"
echo "$logins" | grep -q '^portal|VXSystem|us_english|Agendia|' ||
  fail "no login of user portal to VXSystem with the application name Agendia"
batches=$(control batches)
echo "$batches" | grep -qF "select * from VXSystem..ZA_Message where nMsgType=100 and cReceiver=N'demo'" ||
  fail "the tree's select did not reach the server with its text as N'...': $batches"
echo "ok: Agendia.dll listed the stand-in's memos through FreeTDS"

#!/usr/bin/env python3
"""A TDS 7.4 protocol stand-in for the tests: NOT SQL Server.

It speaks enough of the Tabular Data Stream protocol that FreeTDS's ODBC
driver logs in and runs the memo statements, and it stores what it is given
the way SQL Server would, so that the tests see what a real server does to
the text: a '...' literal is converted to the code page of the database's
collation (N'...' is kept whole), a backslash before a line break continues
the literal on the next line (both vanish), and a datetime literal is read by
the DATEFORMAT of the login's language. What it does not know it answers
with an ERROR token, as a server answers a statement it cannot run.

The one table is an in-memory VXSystem..ZA_Message with SQL Server's types
(varchar(50) key, nvarchar texts, datetime, int, smallint). It answers the
five statement shapes the calendar sends (select all of a receiver, select
one by id, insert, update, delete by id), plus the SET and USE batches that
drivers send after a login.

    tds_stand_in.py start STATE_DIR    start in the background; STATE_DIR/stand-in.env
                                       then holds TDS_PORT, CONTROL_PORT and PID
    tds_stand_in.py stop STATE_DIR     stop it and remove the state file

Tests steer it through CONTROL_PORT on loopback, one command per connection;
the answer is "ok" or "error: ..." on its first line, then the lines asked
for, fields separated by '|' (backslash, '|', CR and LF written as \\, \|,
\r and \n; NULL as <NULL>):
    reset [COLLATION]        empty table, forget logins and batches, no faults
    collation NAME           SQL_Latin1_General_CP1_CI_AS, Chinese_PRC_CI_AS,
                             Chinese_Taiwan_Stroke_CI_AS
    fault NAME               silent (answers nothing after the login),
                             close-mid-result (the next select ends the
                             connection after its first row), deadlock (the
                             next insert is the deadlock victim, 1205),
                             require-encryption (PRELOGIN says encryption is
                             required), refuse-login (every login fails,
                             18456), lose-insert-answer (the next insert is
                             stored and the connection then closed without
                             an answer), none
    rows                     cMsgId|cMsgTitle|cMsgContent|cSender|cReceiver|
                             dSend|nValidDay|bHasRead|DisplayPeriods|Account|
                             Year|nMsgType, one line per row
    logins                   user|database|language|application|host|
                             client's PRELOGIN encryption byte|TLS began,
                             one line per login (a login that stopped at
                             PRELOGIN has only the last two)
    batches                  the SQL text of every batch so far
    delete-all               deletes every row (as another user would)
    add-memo ID|TITLE|KIND   adds a memo of "demo" due 2024-03-01 09:00 (as
                             another window would have saved it)

Only the loopback interface is used. A server left behind by a killed test
run ends itself after an hour without a connection.
"""

import datetime
import os
import signal
import socket
import socketserver
import struct
import subprocess
import sys
import threading
import time
import uuid

IDLE_LIMIT_SECONDS = 3600

# Packet types.
PT_SQL_BATCH, PT_REPLY, PT_ATTENTION, PT_LOGIN7, PT_PRELOGIN = 0x01, 0x04, 0x06, 0x10, 0x12
# PRELOGIN encryption values.
ENCRYPT_OFF, ENCRYPT_ON, ENCRYPT_NOT_SUP, ENCRYPT_REQ = 0, 1, 2, 3
# Tokens.
TOKEN_COLMETADATA, TOKEN_ROW, TOKEN_DONE = 0x81, 0xD1, 0xFD
TOKEN_ERROR, TOKEN_LOGINACK, TOKEN_ENVCHANGE = 0xAA, 0xAD, 0xE3
DONE_FINAL, DONE_ERROR, DONE_COUNT, DONE_ATTN = 0x00, 0x02, 0x10, 0x20
CMD_SELECT, CMD_INSERT, CMD_DELETE, CMD_UPDATE = 0xC1, 0xC3, 0xC4, 0xC5
SPID = 53
PACKET_SIZE = 4096

# Collation name: (code page as Python names it, the 5 bytes of TDS collation).
COLLATIONS = {
    "sql_latin1_general_cp1_ci_as": ("cp1252", bytes([0x09, 0x04, 0xD0, 0x00, 0x34])),
    "chinese_prc_ci_as": ("gbk", bytes([0x04, 0x08, 0xD0, 0x00, 0x00])),
    "chinese_taiwan_stroke_ci_as": ("cp950", bytes([0x04, 0x04, 0xD0, 0x00, 0x00])),
}

# Login languages whose DATEFORMAT is dmy; every other one reads mdy here.
DMY_LANGUAGES = {"british", "français", "french", "deutsch", "german", "italiano", "italian",
                 "español", "spanish", "русский", "russian", "dansk", "nederlands", "polski"}

# ZA_Message as the host creates it (sql/sqlserver/ZA_Message.sql).
VARCHAR, NVARCHAR, INT, SMALLINT, DATETIME = "varchar", "nvarchar", "int", "smallint", "datetime"
COLUMNS = [
    ("cMsgId", VARCHAR, 50), ("nMsgType", INT, 4), ("cMsgTitle", NVARCHAR, 200),
    ("cMsgContent", NVARCHAR, 4000), ("cSender", NVARCHAR, 50), ("cReceiver", NVARCHAR, 50),
    ("dSend", DATETIME, 8), ("nValidDay", INT, 4), ("bHasRead", SMALLINT, 2),
    ("DisplayPeriods", INT, 4), ("Account", VARCHAR, 20), ("Year", INT, 4),
]
COLUMN_BY_KEY = {name.lower(): (name, kind, size) for name, kind, size in COLUMNS}


# Fault name (the control command's) and the State flag that carries it.
FAULTS = {"silent": "silent", "close-mid-result": "close_mid_result", "deadlock": "deadlock",
          "require-encryption": "require_encryption", "refuse-login": "refuse_login",
          "lose-insert-answer": "lose_insert_answer"}


class SqlError(Exception):
    """A statement the server refuses: number, class and text of SQL Server's message."""

    def __init__(self, number, message, severity=16, state=1):
        super().__init__(message)
        self.number, self.message, self.severity, self.state = number, message, severity, state


class State:
    """Everything the connections share; guarded by one lock."""

    def __init__(self):
        self.lock = threading.Lock()
        self.reset("SQL_Latin1_General_CP1_CI_AS")
        self.last_activity = time.monotonic()

    def reset(self, collation):
        self.set_collation(collation)
        self.rows = []
        self.logins = []
        self.batches = []
        self.clear_faults()

    def set_collation(self, name):
        if name.lower() not in COLLATIONS:
            raise ValueError("unknown collation " + name)
        self.collation = name
        self.code_page, self.collation_bytes = COLLATIONS[name.lower()]

    def clear_faults(self):
        for attribute in FAULTS.values():
            setattr(self, attribute, False)


STATE = State()


# ---------------------------------------------------------------- statements

def tokenize(sql):
    """Tokens of T-SQL text: ('lit', text, is_unicode), ('name', text),
    ('num', text), ('op', text). Comments are dropped."""
    tokens, i, n = [], 0, len(sql)
    while i < n:
        c = sql[i]
        if c.isspace():
            i += 1
        elif sql.startswith("--", i):
            end = sql.find("\n", i)
            i = n if end < 0 else end + 1
        elif sql.startswith("/*", i):
            end = sql.find("*/", i + 2)
            i = n if end < 0 else end + 2
        elif c == "'" or (c in "nN" and i + 1 < n and sql[i + 1] == "'"):
            unicode_literal = c != "'"
            j = i + (2 if unicode_literal else 1)
            text = []
            while True:
                if j >= n:
                    raise SqlError(105, "Unclosed quotation mark after the character string '%s'."
                                   % "".join(text), 15)
                if sql[j] == "'":
                    if j + 1 < n and sql[j + 1] == "'":
                        text.append("'")
                        j += 2
                        continue
                    j += 1
                    break
                # A backslash before a line break continues the constant on
                # the next line: SQL Server drops both.
                if sql[j] == "\\" and sql.startswith("\r\n", j + 1):
                    j += 3
                    continue
                if sql[j] == "\\" and j + 1 < n and sql[j + 1] == "\n":
                    j += 2
                    continue
                text.append(sql[j])
                j += 1
            tokens.append(("lit", "".join(text), unicode_literal))
            i = j
        elif c == "[":
            end = sql.find("]", i)
            if end < 0:
                raise SqlError(105, "Unclosed quotation mark after the character string.", 15)
            tokens.append(("name", sql[i + 1:end]))
            i = end + 1
        elif c.isalpha() or c in "_@#":
            j = i
            while j < n and (sql[j].isalnum() or sql[j] in "_@#$"):
                j += 1
            tokens.append(("name", sql[i:j]))
            i = j
        elif c.isdigit() or (c == "-" and i + 1 < n and sql[i + 1].isdigit()):
            j = i + 1
            while j < n and sql[j].isdigit():
                j += 1
            tokens.append(("num", sql[i:j]))
            i = j
        elif sql.startswith("..", i):
            tokens.append(("op", ".."))
            i += 2
        else:
            tokens.append(("op", c))
            i += 1
    return tokens


class Parser:
    def __init__(self, tokens):
        self.tokens, self.at = tokens, 0

    def peek(self, offset=0):
        k = self.at + offset
        return self.tokens[k] if k < len(self.tokens) else ("end", "")

    def near(self):
        """SQL Server's message for the token here, or for the last one at the end."""
        kind, text = self.peek()[:2]
        if kind == "end" and self.tokens:
            text = self.tokens[-1][1]
        return "Incorrect syntax near '%s'." % text

    def take(self):
        token = self.peek()
        self.at += 1
        return token

    def is_word(self, word, offset=0):
        token = self.peek(offset)
        return token[0] == "name" and token[1].lower() == word

    def expect_word(self, word):
        if not self.is_word(word):
            raise SqlError(102, self.near(), 15)
        self.take()

    def expect_op(self, op):
        if self.peek()[:2] != ("op", op):
            raise SqlError(102, self.near(), 15)
        self.take()

    def done(self):
        return self.peek()[0] == "end" or self.peek()[:2] == ("op", ";") and self.at + 1 == len(self.tokens)

    def table(self):
        """VXSystem..ZA_Message (any letter case), or VXSystem.dbo.ZA_Message."""
        parts = []
        kind, text = self.take()[:2]
        if kind != "name":
            raise SqlError(102, self.near(), 15)
        parts.append(text)
        while self.peek()[:2] in (("op", ".."), ("op", ".")):
            self.take()
            kind, text = self.take()[:2]
            if kind != "name":
                raise SqlError(102, self.near(), 15)
            parts.append(text)
        if parts[-1].lower() != "za_message" or (len(parts) > 1 and parts[0].lower() != "vxsystem"):
            raise SqlError(208, "Invalid object name '%s'." % ".".join(parts))

    def column(self):
        if self.peek()[0] != "name":
            raise SqlError(102, self.near(), 15)
        kind, text = self.take()[:2]
        if text.lower() not in COLUMN_BY_KEY:
            raise SqlError(207, "Invalid column name '%s'." % text)
        return COLUMN_BY_KEY[text.lower()]

    def expression(self):
        """A literal, a number, NewID(), NULL, or literals joined by '+'.
        Gives ('text', value, is_unicode), ('num', int), ('null',)."""
        value = self.operand()
        while self.peek()[:2] == ("op", "+"):
            self.take()
            right = self.operand()
            if value[0] != "text" or right[0] != "text":
                raise SqlError(402, "The data types are incompatible in the add operator.")
            value = ("text", value[1] + right[1], value[2] or right[2])
        return value

    def operand(self):
        token = self.take()
        if token[0] == "lit":
            return ("text", token[1], token[2])
        if token[0] == "num":
            return ("num", int(token[1]))
        if token[0] == "name" and token[1].lower() == "null":
            return ("null",)
        if token[0] == "name" and token[1].lower() == "newid":
            self.expect_op("(")
            self.expect_op(")")
            return ("text", str(uuid.uuid4()).upper(), False)
        self.at -= 1
        raise SqlError(102, self.near(), 15)

    def assignments(self, separator):
        """col = expr, then more of them after each `separator` (an op or a word)."""
        found = []
        while True:
            column = self.column()
            self.expect_op("=")
            found.append((column, self.expression()))
            if not (self.is_word(separator) or self.peek()[:2] == ("op", separator)):
                return found
            self.take()

    def listed(self, item):
        """( item [, item]... ): the items."""
        self.expect_op("(")
        items = [item()]
        while self.peek()[:2] == ("op", ","):
            self.take()
            items.append(item())
        self.expect_op(")")
        return items

    def where_to_end(self):
        """An optional WHERE col = expr [and ...] that ends the statement: its conditions."""
        conditions = []
        if self.is_word("where"):
            self.take()
            conditions = self.assignments("and")
        if not self.done():
            raise SqlError(102, self.near(), 15)
        return conditions


def literal_text(value):
    """A literal as SQL Server has it before it meets a column: '...' in the
    code page of the database's collation, N'...' whole."""
    text, unicode_literal = value[1], value[2]
    if unicode_literal:
        return text
    return text.encode(STATE.code_page, errors="replace").decode(STATE.code_page)


def parse_datetime(text, dmy):
    """A datetime literal read as SQL Server reads it under DATEFORMAT mdy or dmy."""
    stripped = text.strip()
    # The ISO form and the unseparated one mean the same under every language.
    patterns = ["%Y-%m-%dT%H:%M:%S", "%Y%m%d %H:%M:%S", "%Y%m%d"]
    # yyyy-mm-dd with a space (or without a time) follows the DATEFORMAT for
    # datetime: under dmy it is read year, day, month.
    if dmy:
        patterns += ["%Y-%d-%m %H:%M:%S", "%Y-%d-%m"]
    else:
        patterns += ["%Y-%m-%d %H:%M:%S", "%Y-%m-%d"]
    for pattern in patterns:
        try:
            return datetime.datetime.strptime(stripped, pattern)
        except ValueError:
            continue
    raise SqlError(242, "The conversion of a varchar data type to a datetime data type resulted "
                        "in an out-of-range value.")


def stored_value(column, value, session):
    name, kind, size = column
    if value[0] == "null":
        return None
    if kind in (INT, SMALLINT):
        if value[0] == "num":
            number = value[1]
        else:
            try:
                number = int(literal_text(value).strip())
            except ValueError:
                raise SqlError(245, "Conversion failed when converting the varchar value '%s' to "
                                    "data type int." % value[1])
        limit = 2 ** 31 if kind == INT else 2 ** 15
        if not -limit <= number < limit:
            raise SqlError(8115, "Arithmetic overflow error converting expression to data type %s."
                           % kind)
        return number
    if value[0] == "num":
        text = str(value[1])
    else:
        text = literal_text(value)
    if kind == DATETIME:
        return parse_datetime(text, session.dmy)
    if kind == VARCHAR:
        # nvarchar into varchar takes the column's code page too.
        text = text.encode(STATE.code_page, errors="replace").decode(STATE.code_page)
        if len(text.encode(STATE.code_page)) > size:
            raise SqlError(8152, "String or binary data would be truncated.")
        return text
    if len(text.encode("utf-16-le")) // 2 > size:
        raise SqlError(8152, "String or binary data would be truncated.")
    return text


def comparable(column, stored, value, session):
    """True when the stored value equals the literal, as SQL Server compares
    under a case-insensitive collation (trailing spaces ignored)."""
    if stored is None or value[0] == "null":
        return False
    if isinstance(stored, str):
        wanted = str(value[1]) if value[0] == "num" else literal_text(value)
        return stored.rstrip(" ").casefold() == wanted.rstrip(" ").casefold()
    return stored == stored_value(column, value, session)


def matches(row, conditions, session):
    return all(comparable(column, row[column[0]], value, session) for column, value in conditions)


def run_statement(sql, session):
    """Runs one batch; gives ('rows', rows) or ('count', command, n) or ('done',)."""
    tokens = tokenize(sql)
    parser = Parser(tokens)
    if not tokens:
        return ("done",)
    first = tokens[0][1].lower() if tokens[0][0] == "name" else ""
    if first == "set":
        # Session options the drivers send after a login (TEXTSIZE, ...):
        # nothing here depends on them.
        return ("done",)
    if first == "use":
        parser.take()
        if not parser.is_word("vxsystem"):
            raise SqlError(911, "Database '%s' does not exist." % parser.peek()[1])
        return ("done",)
    if first == "select":
        parser.take()
        if parser.is_word("@@spid"):
            return ("spid",)
        parser.expect_op("*")
        parser.expect_word("from")
        parser.table()
        conditions = parser.where_to_end()
        with STATE.lock:
            return ("rows", [dict(r) for r in STATE.rows if matches(r, conditions, session)])
    if first == "insert":
        parser.take()
        parser.expect_word("into")
        parser.table()
        columns = parser.listed(parser.column)
        parser.expect_word("values")
        values = parser.listed(parser.expression)
        if not parser.done():
            raise SqlError(102, parser.near(), 15)
        if len(columns) != len(values):
            raise SqlError(110, "There are fewer columns in the INSERT statement than values "
                                "specified in the VALUES clause.", 15)
        row = {name: None for name, _, _ in COLUMNS}
        for column, value in zip(columns, values):
            row[column[0]] = stored_value(column, value, session)
        with STATE.lock:
            if STATE.deadlock:
                STATE.deadlock = False
                raise SqlError(1205, "Transaction (Process ID %d) was deadlocked on lock resources "
                                     "with another process and has been chosen as the deadlock "
                                     "victim. Rerun the transaction." % SPID, 13, 51)
            if row["cMsgId"] is None:
                raise SqlError(515, "Cannot insert the value NULL into column 'cMsgId', table "
                                    "'VXSystem.dbo.ZA_Message'; column does not allow nulls. "
                                    "INSERT fails.")
            if any(r["cMsgId"].casefold() == row["cMsgId"].casefold() for r in STATE.rows):
                raise SqlError(2627, "Violation of PRIMARY KEY constraint 'PK_ZA_Message'. Cannot "
                                     "insert duplicate key in object 'dbo.ZA_Message'.", 14)
            STATE.rows.append(row)
            if STATE.lose_insert_answer:
                STATE.lose_insert_answer = False
                return ("lost",)
        return ("count", CMD_INSERT, 1)
    if first == "update":
        parser.take()
        parser.table()
        parser.expect_word("set")
        changes = parser.assignments(",")
        conditions = parser.where_to_end()
        new_values = [(column[0], stored_value(column, value, session)) for column, value in changes]
        with STATE.lock:
            hit = [r for r in STATE.rows if matches(r, conditions, session)]
            for r in hit:
                for name, value in new_values:
                    r[name] = value
        return ("count", CMD_UPDATE, len(hit))
    if first == "delete":
        parser.take()
        parser.expect_word("from")
        parser.table()
        conditions = parser.where_to_end()
        with STATE.lock:
            before = len(STATE.rows)
            STATE.rows = [r for r in STATE.rows if not matches(r, conditions, session)]
            return ("count", CMD_DELETE, before - len(STATE.rows))
    raise SqlError(102, parser.near(), 15)


# ------------------------------------------------------------------ encoding

def b_varchar(text):
    data = text.encode("utf-16-le")
    return bytes([len(data) // 2]) + data


def us_varchar(text):
    data = text.encode("utf-16-le")
    return struct.pack("<H", len(data) // 2) + data


def sized_token(kind, body):
    """A token whose body follows its length (two bytes)."""
    return struct.pack("<BH", kind, len(body)) + body


def done_token(status, command, count=0):
    return struct.pack("<BHHQ", TOKEN_DONE, status, command, count)


def error_token(error):
    body = (struct.pack("<iBB", error.number, error.state, error.severity) + us_varchar(error.message)
            + b_varchar("TDS-STAND-IN") + b_varchar("") + struct.pack("<i", 1))
    return sized_token(TOKEN_ERROR, body)


def envchange(kind, new, old=b"\x00"):
    return sized_token(TOKEN_ENVCHANGE, bytes([kind]) + new + old)


# The one column of "select @@spid".
SPID_COLUMNS = [("spid", SMALLINT, 2)]


def column_flags(name):
    """The table's columns are updatable and, but for the key, nullable; a
    computed one (@@spid) is neither."""
    if name.lower() not in COLUMN_BY_KEY:
        return 0
    return 0x0008 if name == "cMsgId" else 0x0009


def result_tokens(rows, columns=COLUMNS):
    """The column descriptions and a ROW token a row, without the DONE."""
    return colmetadata(columns) + b"".join(row_token(row, columns) for row in rows)


def colmetadata(columns):
    out = bytearray(struct.pack("<BH", TOKEN_COLMETADATA, len(columns)))
    for name, kind, size in columns:
        out += struct.pack("<IH", 0, column_flags(name))
        if kind == VARCHAR:
            out += bytes([0xA7]) + struct.pack("<H", size) + STATE.collation_bytes
        elif kind == NVARCHAR:
            out += bytes([0xE7]) + struct.pack("<H", size * 2) + STATE.collation_bytes
        elif kind in (INT, SMALLINT):
            out += bytes([0x26, size])
        elif kind == DATETIME:
            out += bytes([0x6F, 8])
        out += b_varchar(name)
    return bytes(out)


def row_token(row, columns):
    out = bytearray([TOKEN_ROW])
    for name, kind, size in columns:
        value = row[name]
        if kind in (VARCHAR, NVARCHAR):
            if value is None:
                out += b"\xff\xff"
            else:
                data = value.encode(STATE.code_page if kind == VARCHAR else "utf-16-le")
                out += struct.pack("<H", len(data)) + data
        elif kind in (INT, SMALLINT):
            out += b"\x00" if value is None else bytes([size]) + value.to_bytes(size, "little",
                                                                                 signed=True)
        elif kind == DATETIME:
            if value is None:
                out += b"\x00"
            else:
                since = value - datetime.datetime(1900, 1, 1)
                seconds = since.seconds + since.microseconds / 1e6
                out += bytes([8]) + struct.pack("<iI", since.days, round(seconds * 300))
    return bytes(out)


# --------------------------------------------------------------- connections

class Session:
    def __init__(self):
        self.dmy = False


class Connection(socketserver.BaseRequestHandler):
    def setup(self):
        self.request.settimeout(None)
        self.session = Session()
        self.packet_id = 1

    def read_message(self):
        """One client message (packets up to the one marked end of message):
        (type, payload), or None when the client is gone."""
        payload = bytearray()
        while True:
            header = self.read_exactly(8)
            if header is None:
                return None
            kind, status, length = struct.unpack(">BBH", header[:4])
            body = self.read_exactly(length - 8)
            if body is None:
                return None
            payload += body
            if status & 0x01:
                return kind, bytes(payload)

    def read_exactly(self, count):
        data = bytearray()
        while len(data) < count:
            try:
                chunk = self.request.recv(count - len(data))
            except OSError:
                return None
            if not chunk:
                return None
            data += chunk
        return bytes(data)

    def send(self, payload, end_of_message=True, kind=PT_REPLY):
        room = PACKET_SIZE - 8
        chunks = [payload[i:i + room] for i in range(0, len(payload), room)] or [b""]
        for index, chunk in enumerate(chunks):
            last = index == len(chunks) - 1
            status = 0x01 if (last and end_of_message) else 0x00
            header = struct.pack(">BBHHBB", kind, status, len(chunk) + 8, SPID, self.packet_id, 0)
            self.packet_id = (self.packet_id + 1) % 256
            self.request.sendall(header + chunk)

    def handle(self):
        STATE.last_activity = time.monotonic()
        message = self.read_message()
        if message is None or message[0] != PT_PRELOGIN:
            return
        client_encryption = self.prelogin_option(message[1], 0x01)
        with STATE.lock:
            require = STATE.require_encryption
        login = {"client_encryption": client_encryption, "tls_handshake": False}
        # Recorded before the answer, so a client that gives up on it is seen.
        with STATE.lock:
            STATE.logins.append(login)
        self.send(self.prelogin_answer(ENCRYPT_REQ if require else ENCRYPT_NOT_SUP))
        if require or client_encryption in (ENCRYPT_ON, ENCRYPT_REQ):
            # A client that encrypts starts TLS inside PRELOGIN packets; this
            # stand-in has no certificate, so it notes that the login was not
            # about to travel in clear and ends the connection.
            following = self.read_message()
            with STATE.lock:
                login["tls_handshake"] = bool(following and following[0] == PT_PRELOGIN
                                              and following[1][:1] == b"\x16")
            return
        message = self.read_message()
        if message is None or message[0] != PT_LOGIN7:
            return
        fields = self.read_login7(message[1])
        with STATE.lock:
            login.update(fields)
            silent = STATE.silent
            refuse = STATE.refuse_login
        if refuse:
            self.send(error_token(SqlError(18456, "Login failed for user '%s'." % login["user"],
                                           14, 1)) + done_token(DONE_ERROR, 0))
            return
        self.session.dmy = login["language"].lower() in DMY_LANGUAGES
        self.send(self.login_answer(login))
        while True:
            message = self.read_message()
            if message is None:
                return
            STATE.last_activity = time.monotonic()
            if silent:
                continue  # a server that hangs: the batch and the cancel go unanswered
            kind, payload = message
            if kind == PT_ATTENTION:
                self.send(done_token(DONE_ATTN, 0))
                continue
            if kind != PT_SQL_BATCH:
                self.send(error_token(SqlError(102, "This stand-in answers SQL batches only."))
                          + done_token(DONE_ERROR, 0))
                continue
            headers_length = struct.unpack("<I", payload[:4])[0]
            sql = payload[headers_length:].decode("utf-16-le", errors="surrogatepass")
            with STATE.lock:
                STATE.batches.append(sql)
            if not self.answer(sql):
                return

    def answer(self, sql):
        """Answers one batch; False when the connection is to end."""
        try:
            result = run_statement(sql, self.session)
        except SqlError as error:
            self.send(error_token(error) + done_token(DONE_ERROR, 0))
            return True
        if result[0] == "lost":
            self.request.shutdown(socket.SHUT_RDWR)
            return False
        if result[0] == "done":
            self.send(done_token(DONE_FINAL, 0))
        elif result[0] == "spid":
            self.send(result_tokens([{"spid": SPID}], SPID_COLUMNS)
                      + done_token(DONE_COUNT, CMD_SELECT, 1))
        elif result[0] == "count":
            self.send(done_token(DONE_COUNT, result[1], result[2]))
        else:
            rows = result[1]
            with STATE.lock:
                cut = STATE.close_mid_result
                STATE.close_mid_result = False
            if cut:
                self.send(result_tokens(rows[:1]), end_of_message=False)
                self.request.shutdown(socket.SHUT_RDWR)
                return False
            self.send(result_tokens(rows) + done_token(DONE_COUNT, CMD_SELECT, len(rows)))
        return True

    @staticmethod
    def prelogin_option(payload, wanted):
        at = 0
        while at < len(payload) and payload[at] != 0xFF:
            token, offset, length = struct.unpack(">BHH", payload[at:at + 5])
            if token == wanted and length >= 1:
                return payload[offset]
            at += 5
        return None

    @staticmethod
    def prelogin_answer(encryption):
        options = [(0x00, bytes([15, 0, 0x07, 0xD0, 0, 0])),  # version 15.0.2000
                   (0x01, bytes([encryption])), (0x02, b"\x00"), (0x03, b""), (0x04, b"\x00")]
        head_length = 5 * len(options) + 1
        head, data = bytearray(), bytearray()
        for token, value in options:
            head += struct.pack(">BHH", token, head_length + len(data), len(value))
            data += value
        return bytes(head) + b"\xff" + bytes(data)

    @staticmethod
    def read_login7(payload):
        def text(offset_at):
            offset, length = struct.unpack("<HH", payload[offset_at:offset_at + 4])
            return payload[offset:offset + 2 * length].decode("utf-16-le", errors="replace")

        def password():
            offset, length = struct.unpack("<HH", payload[44:48])
            raw = bytearray(payload[offset:offset + 2 * length])
            for k, b in enumerate(raw):
                b ^= 0xA5
                raw[k] = ((b << 4) & 0xF0) | (b >> 4)
            return raw.decode("utf-16-le", errors="replace")

        return {"host": text(36), "user": text(40), "password": password(),
                "application": text(48), "server": text(52), "library": text(60),
                "language": text(64), "database": text(68)}

    def login_answer(self, login):
        language = login["language"] or "us_english"
        database = login["database"] or "master"
        product = "Microsoft SQL Server"  # drivers choose their SQL dialect by this name
        ack_body = bytes([1]) + bytes([0x74, 0x00, 0x00, 0x04]) + b_varchar(product) + \
            bytes([15, 0, 0x07, 0xD0])
        return (envchange(1, b_varchar(database), b_varchar("master"))
                + envchange(7, bytes([5]) + STATE.collation_bytes, b"\x00")
                + envchange(2, b_varchar(language), b_varchar(""))
                + envchange(4, b_varchar(str(PACKET_SIZE)), b_varchar(str(PACKET_SIZE)))
                + sized_token(TOKEN_LOGINACK, ack_body)
                + done_token(DONE_FINAL, 0))


class Server(socketserver.ThreadingTCPServer):
    daemon_threads = True
    allow_reuse_address = True


# ------------------------------------------------------------------ control

def escaped(value):
    if value is None:
        return "<NULL>"
    if isinstance(value, bool):
        value = int(value)
    if isinstance(value, datetime.datetime):
        value = value.strftime("%Y-%m-%d %H:%M:%S")
    return (str(value).replace("\\", "\\\\").replace("|", "\\|").replace("\r", "\\r")
            .replace("\n", "\\n"))


ROW_ORDER = ["cMsgId", "cMsgTitle", "cMsgContent", "cSender", "cReceiver", "dSend", "nValidDay",
             "bHasRead", "DisplayPeriods", "Account", "Year", "nMsgType"]
LOGIN_ORDER = ["user", "database", "language", "application", "host", "client_encryption",
               "tls_handshake"]


def control(command):
    """The answer's lines after "ok"."""
    word, _, rest = command.strip().partition(" ")
    with STATE.lock:
        if word == "reset":
            STATE.reset(rest.strip() or "SQL_Latin1_General_CP1_CI_AS")
        elif word == "collation":
            STATE.set_collation(rest.strip())
        elif word == "fault":
            name = rest.strip()
            if name == "none":
                STATE.clear_faults()
            elif name in FAULTS:
                setattr(STATE, FAULTS[name], True)
            else:
                raise ValueError("unknown fault " + name)
        elif word == "rows":
            return ["|".join(escaped(r[name]) for name in ROW_ORDER) for r in STATE.rows]
        elif word == "logins":
            return ["|".join(escaped(login[name]) for name in LOGIN_ORDER if name in login)
                    for login in STATE.logins]
        elif word == "batches":
            return [escaped(batch) for batch in STATE.batches]
        elif word == "delete-all":
            STATE.rows = []
        elif word == "add-memo":
            msg_id, title, kind = rest.strip().split("|")
            STATE.rows.append({
                "cMsgId": msg_id, "nMsgType": 100, "cMsgTitle": title, "cMsgContent": "",
                "cSender": "demo", "cReceiver": "demo",
                "dSend": datetime.datetime(2024, 3, 1, 9, 0), "nValidDay": 540, "bHasRead": 0,
                "DisplayPeriods": int(kind), "Account": "001", "Year": 2024})
        else:
            raise ValueError("unknown command " + word)
    return []


class ControlConnection(socketserver.StreamRequestHandler):
    def handle(self):
        STATE.last_activity = time.monotonic()
        line = self.rfile.readline().decode("utf-8")
        try:
            answer = ["ok"] + control(line)
        except (ValueError, KeyError) as error:
            answer = ["error: " + str(error)]
        self.wfile.write(("\n".join(answer) + "\n").encode("utf-8", errors="surrogatepass"))


# ---------------------------------------------------------------- lifecycle

def state_file(state_dir):
    return os.path.join(state_dir, "stand-in.env")


def serve(state_dir):
    tds = Server(("127.0.0.1", 0), Connection)
    ctl = Server(("127.0.0.1", 0), ControlConnection)
    for server in (tds, ctl):
        threading.Thread(target=server.serve_forever, daemon=True).start()
    stop = threading.Event()
    signal.signal(signal.SIGTERM, lambda *_: stop.set())
    signal.signal(signal.SIGINT, lambda *_: stop.set())
    temporary = state_file(state_dir) + ".new"
    with open(temporary, "w") as out:
        out.write("TDS_PORT=%d\nCONTROL_PORT=%d\nPID=%d\n"
                  % (tds.server_address[1], ctl.server_address[1], os.getpid()))
    os.replace(temporary, state_file(state_dir))
    while not stop.wait(1):
        if time.monotonic() - STATE.last_activity > IDLE_LIMIT_SECONDS:
            break
    tds.shutdown()
    ctl.shutdown()


def read_state(state_dir):
    values = {}
    try:
        with open(state_file(state_dir)) as given:
            for line in given:
                key, _, value = line.strip().partition("=")
                values[key] = value
    except FileNotFoundError:
        pass
    return values


def stop(state_dir):
    pid = read_state(state_dir).get("PID")
    if pid:
        try:
            os.kill(int(pid), signal.SIGTERM)
            for _ in range(100):
                os.kill(int(pid), 0)
                time.sleep(0.05)
            os.kill(int(pid), signal.SIGKILL)
        except ProcessLookupError:
            pass
    try:
        os.remove(state_file(state_dir))
    except FileNotFoundError:
        pass


def start(state_dir):
    os.makedirs(state_dir, exist_ok=True)
    stop(state_dir)
    log = open(os.path.join(state_dir, "stand-in.log"), "w")
    process = subprocess.Popen([sys.executable, os.path.abspath(__file__), "serve", state_dir],
                               stdin=subprocess.DEVNULL, stdout=log, stderr=log,
                               start_new_session=True)
    for _ in range(200):
        if read_state(state_dir).get("PID") == str(process.pid):
            print("TDS protocol stand-in on 127.0.0.1:%s" % read_state(state_dir)["TDS_PORT"])
            return 0
        if process.poll() is not None:
            break
        time.sleep(0.05)
    process.kill()
    print("the TDS protocol stand-in did not start; see stand-in.log", file=sys.stderr)
    return 1


def main(argv):
    if len(argv) != 3 or argv[1] not in ("start", "stop", "serve"):
        print(__doc__, file=sys.stderr)
        return 2
    if argv[1] == "start":
        return start(argv[2])
    if argv[1] == "stop":
        stop(argv[2])
        return 0
    serve(argv[2])
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))

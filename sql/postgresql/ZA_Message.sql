-- The host's message table in a PostgreSQL database (vxsystem): the memos of
-- the calendar are its rows with nMsgType = 100. The host creates the table;
-- the calendar only reads and writes rows. Running this again changes
-- nothing. Run with psql in the database, as a user allowed to create the
-- extension (or with citext already installed there):
--   psql -d vxsystem -f sql/postgresql/ZA_Message.sql
--
-- Names are unquoted, so PostgreSQL keeps them in lower case and reads the
-- statements' mixed-case names as the same columns. Text is citext: it
-- compares without regard to letter case, as under SQL Server's default
-- collation, so cReceiver='Demo' finds the memos of demo.
CREATE EXTENSION IF NOT EXISTS citext;

CREATE TABLE IF NOT EXISTS ZA_Message (
  cMsgId          citext        NOT NULL,  -- the text of a NewID() GUID
  nMsgType        integer       NOT NULL,  -- 100: a calendar memo
  cMsgTitle       citext        NULL,
  cMsgContent     citext        NULL,
  cSender         citext        NULL,
  cReceiver       citext        NULL,      -- the user the memo belongs to
  dSend           timestamp(0)  NULL,      -- when the memo falls due
  nValidDay       integer       NULL,
  bHasRead        smallint      NULL,      -- 0 or 1
  DisplayPeriods  integer       NULL,
  Account         citext        NULL,
  Year            integer       NULL,
  CONSTRAINT PK_ZA_Message PRIMARY KEY (cMsgId)
);

-- The calendar reads the memos of one user.
CREATE INDEX IF NOT EXISTS IX_ZA_Message_Receiver_Type ON ZA_Message (cReceiver, nMsgType);

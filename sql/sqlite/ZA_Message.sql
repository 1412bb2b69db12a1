-- The host's message table as an SQLite file (VXSystem.db): the memos of the
-- calendar are its rows with nMsgType = 100. The host creates the table; the
-- calendar only reads and writes rows. Running this again changes nothing.
--
-- Text compares without regard to letter case (COLLATE NOCASE), as it does
-- under the host's SQL Server collation, so cReceiver = 'demo' finds 'Demo'.
-- dSend holds "yyyy-mm-dd hh:mm:ss"; a column declared DATETIME reads back as
-- a date and time.
CREATE TABLE IF NOT EXISTS ZA_Message (
  cMsgId          TEXT COLLATE NOCASE NOT NULL PRIMARY KEY,  -- a GUID from NewID()
  nMsgType        INTEGER NOT NULL,                          -- 100: a calendar memo
  cMsgTitle       TEXT COLLATE NOCASE,
  cMsgContent     TEXT COLLATE NOCASE,
  cSender         TEXT COLLATE NOCASE,
  cReceiver       TEXT COLLATE NOCASE,                       -- the user the memo belongs to
  dSend           DATETIME,                                  -- when the memo falls due
  nValidDay       INTEGER,
  bHasRead        INTEGER,                                   -- 0 or 1
  DisplayPeriods  INTEGER,
  Account         TEXT COLLATE NOCASE,
  Year            INTEGER
);

-- The calendar reads the memos of one user.
CREATE INDEX IF NOT EXISTS IX_ZA_Message_Receiver_Type ON ZA_Message (cReceiver, nMsgType);

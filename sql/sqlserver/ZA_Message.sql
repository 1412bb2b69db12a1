-- The host's message table in its SQL Server database VXSystem: the memos of
-- the calendar are its rows with nMsgType = 100. The host creates the table;
-- the calendar only reads and writes rows. Running this again changes
-- nothing. Run with sqlcmd (GO separates the batches).
--
-- The database must be case-insensitive (a _CI_ collation, as the host's
-- default SQL_Latin1_General_CP1_CI_AS or Chinese_PRC_CI_AS): the calendar's
-- statements write the table as both ZA_Message and za_message and the key
-- as both cMsgId and cMsgID, which a case-sensitive database reads as names
-- that do not exist. Text is nvarchar, and the calendar sends it as N'...',
-- so the collation's code page loses no character.
USE VXSystem;
GO

IF OBJECT_ID(N'dbo.ZA_Message', N'U') IS NULL
CREATE TABLE dbo.ZA_Message (
  cMsgId          varchar(50)     NOT NULL,  -- the text of a NEWID() GUID
  nMsgType        int             NOT NULL,  -- 100: a calendar memo
  cMsgTitle       nvarchar(200)   NULL,
  cMsgContent     nvarchar(4000)  NULL,
  cSender         nvarchar(50)    NULL,
  cReceiver       nvarchar(50)    NULL,      -- the user the memo belongs to
  dSend           datetime        NULL,      -- when the memo falls due
  nValidDay       int             NULL,
  bHasRead        smallint        NULL,      -- 0 or 1
  DisplayPeriods  int             NULL,
  Account         varchar(20)     NULL,
  [Year]          int             NULL,
  CONSTRAINT PK_ZA_Message PRIMARY KEY CLUSTERED (cMsgId)
);
GO

-- The calendar reads the memos of one user.
IF NOT EXISTS (SELECT 1 FROM sys.indexes
               WHERE name = N'IX_ZA_Message_Receiver_Type'
                 AND object_id = OBJECT_ID(N'dbo.ZA_Message'))
CREATE NONCLUSTERED INDEX IX_ZA_Message_Receiver_Type ON dbo.ZA_Message (cReceiver, nMsgType);
GO

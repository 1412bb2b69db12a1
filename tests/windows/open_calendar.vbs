' Opens the calendar through the registered Agendia.dll as a script host
' does: late-bound, by ProgID, every member called by name.
' Usage: cscript //nologo open_calendar.vbs CONNECTION USER DAY LANGUAGE
Option Explicit

Dim args, calendar, conn, user, account, year, day, lang
Set args = WScript.Arguments
conn = args(0)
user = args(1)
account = "001"
year = "2024"
day = args(2)
lang = args(3)

Set calendar = CreateObject("AgendiaVB.Calender")
WScript.Echo "created: " & TypeName(calendar)
calendar.PortHwnd = 0
WScript.Echo "PortalEnabled: " & calendar.PortalEnabled
calendar.PortalEnabled = True
WScript.Echo "PortalEnabled after put: " & calendar.PortalEnabled
WScript.Echo "GetPortalHwnd(0): " & calendar.GetPortalHwnd(0)

' Arguments that are no text, or missing, fail as for any member: the
' script host's own errors 13 and 449, with its descriptions.
On Error Resume Next
calendar.CalenderDesign conn, user, Array(1, 2), year, day, lang
WScript.Echo "array: " & Err.Number & " " & Err.Description
Err.Clear
calendar.CalenderDesign conn, user, account, Null, day, lang
WScript.Echo "Null: " & Err.Number & " " & Err.Description
Err.Clear
calendar.CalenderDesign conn, user, account, year, , lang
WScript.Echo "missing: " & Err.Number & " " & Err.Description
Err.Clear
On Error GoTo 0

calendar.CalenderDesign conn, user, account, year, day, lang
WScript.Echo "closed; arguments unchanged: " & (conn = args(0) And user = args(1) And day = args(2) And lang = args(3))
Set calendar = Nothing
WScript.Echo "done"

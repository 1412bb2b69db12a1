' Creates AgendiaVB.Calender by ProgID, as a script host of either bitness
' does, and reads a property through it. Prints what it got; a failure to
' create prints the error number (429: the ProgID names no class here).
Option Explicit

Dim calendar
On Error Resume Next
Set calendar = CreateObject("AgendiaVB.Calender")
If Err.Number <> 0 Then
  WScript.Echo "CreateObject failed: " & Err.Number & " " & Err.Description
  WScript.Quit 1
End If
On Error GoTo 0
WScript.Echo "created: " & TypeName(calendar) & ", PortalEnabled: " & calendar.PortalEnabled

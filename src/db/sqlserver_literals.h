#pragma once

#include <string>
#include <string_view>

namespace agendia::db {

// The host's statement with its string literals written so that SQL Server
// stores every value as it was typed, whatever the database's collation, the
// login's language or the value's line breaks. Only literals change; names,
// numbers, comments and the rest stay byte for byte.
//   - Text for a column other than cMsgID and dSend, and every literal whose
//     column cannot be told, becomes N'...': a plain literal is converted to
//     the code page of the database's collation before an nvarchar column
//     gets it, so Chinese outside that code page and every emoji turned
//     into '?'.
//   - A literal compared with or stored into cMsgID stays plain: it holds a
//     GUID's text, and an N literal against the varchar key would make the
//     server convert the column and scan instead of seek.
//   - A literal for dSend that reads "yyyy-mm-dd hh:mm:ss" gets a "T" in
//     place of the space. With the space, a datetime literal is read by the
//     login language's DATEFORMAT: under British, French, German ... the 1st
//     of March is stored as the 3rd of January and the 13th fails (242).
//     The ISO form means the same under every language.
//   - A backslash right before a line break ends the literal and the rest
//     follows as a literal of its own ('a\' + N'<newline>b'): inside one
//     literal SQL Server reads backslash and line break as a continuation
//     and drops both.
// The column of a literal is the name right before the '=' in front of it
// (set and where), or the name at its position in an insert's column list.
std::string WriteLiteralsForSqlServer(std::string_view statement);

}  // namespace agendia::db

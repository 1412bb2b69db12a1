#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// What the demo portal hands the calendar, from its command line.
struct PortalOptions {
  QString connection;  // connection string of the memo database
  QString user;
  QString account = QStringLiteral("001");
  QString year;
  QString day;         // yyyy-mm-dd
  QString language;    // zh-cn, zh-tw or en-us
  // The embedded database may be created when it is missing: at the default
  // place, or where --create asks for it. A path given without --create must
  // name an existing file, so that a typing mistake is not taken for a new,
  // empty database.
  bool may_create_database = true;
  bool open_at_once = false;
  bool exit_on_close = false;
};

// The defaults: a SQLite file in the user's data folder, the login name,
// account "001", today, the year of the day, and the language of the locale.
PortalOptions DefaultPortalOptions();

// The language code for a locale name: zh_CN -> zh-cn, zh_TW/zh_HK -> zh-tw,
// anything else -> en-us.
QString LanguageForLocale(const QString& locale_name);

// `connection` as the portal shows it: the value of every Password or Pwd key
// (any letter case, quoted or not) replaced by "****".
QString MaskedConnection(const QString& connection);

// The language codes the calendar has texts for.
inline const QStringList kPortalLanguages = {QStringLiteral("zh-cn"), QStringLiteral("zh-tw"),
                                             QStringLiteral("en-us")};

// Parses the command line; `arguments` starts with the program. Returns
// nothing and sets `message` (and `exit_code`) when the program should stop:
// --help, or a bad option. --year follows --day unless given itself; --lang
// takes one of kPortalLanguages in any letter case.
std::optional<PortalOptions> ParsePortalOptions(const QStringList& arguments, QString& message,
                                                int& exit_code);

#include "portal_options.h"

#include <QCommandLineParser>
#include <QDate>
#include <QDir>
#include <QLocale>
#include <QRegularExpression>
#include <QStandardPaths>

#include <cstdlib>

namespace {

QString LoginName() {
  for (const char* variable : {"USER", "LOGNAME", "USERNAME"}) {
    if (const char* value = std::getenv(variable); value != nullptr && *value != '\0') {
      return QString::fromLocal8Bit(value);
    }
  }
  return QStringLiteral("demo");
}

QString DefaultDatabasePath() {
  QString folder;
  if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg != nullptr && *xdg != '\0') {
    folder = QString::fromLocal8Bit(xdg);
  } else {
    folder = QDir::homePath() + QStringLiteral("/.local/share");
  }
  return folder + QStringLiteral("/agendia/VXSystem.db");
}

QString ProcessLocaleName() {
  for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    if (const char* value = std::getenv(variable); value != nullptr && *value != '\0') {
      return QString::fromLocal8Bit(value);
    }
  }
  return QString();
}

}  // namespace

QString LanguageForLocale(const QString& locale_name) {
  if (locale_name.startsWith(QStringLiteral("zh_CN")) || locale_name.startsWith(QStringLiteral("zh_SG"))) {
    return QStringLiteral("zh-cn");
  }
  if (locale_name.startsWith(QStringLiteral("zh_"))) return QStringLiteral("zh-tw");
  return QStringLiteral("en-us");
}

PortalOptions DefaultPortalOptions() {
  PortalOptions options;
  options.connection = QStringLiteral("Provider=SQLite;Data Source=") + DefaultDatabasePath();
  options.user = LoginName();
  const QDate today = QDate::currentDate();
  options.year = QString::number(today.year());
  options.day = today.toString(QStringLiteral("yyyy-MM-dd"));
  options.language = LanguageForLocale(ProcessLocaleName());
  return options;
}

std::optional<PortalOptions> ParsePortalOptions(const QStringList& arguments, QString& message,
                                                int& exit_code) {
  PortalOptions options = DefaultPortalOptions();
  QCommandLineParser parser;
  parser.setApplicationDescription(QStringLiteral(
      "A small stand-in for the enterprise portal: it hosts the Agendia calendar component\n"
      "and opens the memo calendar for one user."));
  parser.addHelpOption();
  const QCommandLineOption db({QStringLiteral("db")},
                              QStringLiteral("Connection string of the memo database: a SQLite file, or a "
                                             "SQL Server, PostgreSQL or other ODBC connection "
                                             "string (default: %1).")
                                  .arg(options.connection),
                              QStringLiteral("CONNECTION"));
  const QCommandLineOption user({QStringLiteral("user")},
                                QStringLiteral("User identifier (default: %1).").arg(options.user),
                                QStringLiteral("ID"));
  const QCommandLineOption account({QStringLiteral("account")},
                                   QStringLiteral("Account identifier (default: 001)."),
                                   QStringLiteral("ID"));
  const QCommandLineOption year({QStringLiteral("year")},
                                QStringLiteral("Year (default: %1).").arg(options.year),
                                QStringLiteral("YEAR"));
  const QCommandLineOption day({QStringLiteral("day")},
                               QStringLiteral("Current day, YYYY-MM-DD (default: today)."),
                               QStringLiteral("DAY"));
  const QCommandLineOption lang({QStringLiteral("lang")},
                                QStringLiteral("Language: zh-cn, zh-tw or en-us (default: %1).")
                                    .arg(options.language),
                                QStringLiteral("CODE"));
  const QCommandLineOption open({QStringLiteral("open")},
                                QStringLiteral("Open the calendar at once."));
  const QCommandLineOption exit_on_close(
      {QStringLiteral("exit-on-close")},
      QStringLiteral("Quit the portal when the calendar window closes (for scripts)."));
  parser.addOptions({db, user, account, year, day, lang, open, exit_on_close});

  if (!parser.parse(arguments)) {
    message = parser.errorText() + QStringLiteral("\n\n") + parser.helpText();
    exit_code = 2;
    return std::nullopt;
  }
  if (parser.isSet(QStringLiteral("help"))) {
    message = parser.helpText();
    exit_code = 0;
    return std::nullopt;
  }
  if (!parser.positionalArguments().isEmpty()) {
    message = QStringLiteral("Unexpected argument: ") + parser.positionalArguments().first() +
              QStringLiteral("\n\n") + parser.helpText();
    exit_code = 2;
    return std::nullopt;
  }
  if (parser.isSet(db)) options.connection = parser.value(db);
  if (parser.isSet(user)) options.user = parser.value(user);
  if (parser.isSet(account)) options.account = parser.value(account);
  if (parser.isSet(year)) options.year = parser.value(year);
  if (parser.isSet(day)) {
    options.day = parser.value(day);
    if (!QDate::fromString(options.day, QStringLiteral("yyyy-MM-dd")).isValid()) {
      message = QStringLiteral("--day expects a date of the form YYYY-MM-DD, not \"%1\".").arg(options.day);
      exit_code = 2;
      return std::nullopt;
    }
  }
  if (parser.isSet(lang)) options.language = parser.value(lang);
  options.open_at_once = parser.isSet(open);
  options.exit_on_close = parser.isSet(exit_on_close);
  return options;
}

QString MaskedConnection(const QString& connection) {
  // A value runs to the next ';' unless quoted with {...} (where "}}" stands
  // for '}'), "..." or '...'.
  static const QRegularExpression kPassword(
      QStringLiteral(R"((^|;)(\s*(?:password|pwd)\s*=\s*)(\{(?:[^}]|\}\})*\}|"[^"]*"|'[^']*'|[^;]*))"),
      QRegularExpression::CaseInsensitiveOption);
  QString masked = connection;
  masked.replace(kPassword, QStringLiteral("\\1\\2****"));
  return masked;
}

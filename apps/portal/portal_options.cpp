#include "portal_options.h"

#include <QCommandLineParser>
#include <QDate>
#include <QDir>
#include <QFileInfo>
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
                                QStringLiteral("Year stored with new memos (default: the year of the day)."),
                                QStringLiteral("YEAR"));
  const QCommandLineOption day({QStringLiteral("day")},
                               QStringLiteral("Current day, YYYY-MM-DD (default: today)."),
                               QStringLiteral("DAY"));
  const QCommandLineOption lang({QStringLiteral("lang")},
                                QStringLiteral("Language: zh-cn, zh-tw or en-us (default: %1).")
                                    .arg(options.language),
                                QStringLiteral("CODE"));
  const QCommandLineOption create(
      {QStringLiteral("create")},
      QStringLiteral("Create the SQLite file given with --db when it does not exist yet."));
  const QCommandLineOption open({QStringLiteral("open")},
                                QStringLiteral("Open the calendar at once."));
  const QCommandLineOption exit_on_close(
      {QStringLiteral("exit-on-close")},
      QStringLiteral("Quit the portal when the calendar window closes (for scripts)."));
  parser.addOptions({db, create, user, account, year, day, lang, open, exit_on_close});

  // Parsed before any application exists, the parser cannot know the
  // program's name and writes a placeholder in its place.
  const QString program = arguments.isEmpty() ? QStringLiteral("agendia-portal")
                                              : QFileInfo(arguments.first()).fileName();
  QString help = parser.helpText();
  help.replace(QStringLiteral("<executable_name>"), program);

  if (!parser.parse(arguments)) {
    message = parser.errorText() + QStringLiteral("\n\n") + help;
    exit_code = 2;
    return std::nullopt;
  }
  if (parser.isSet(QStringLiteral("help"))) {
    message = help;
    exit_code = 0;
    return std::nullopt;
  }
  if (!parser.positionalArguments().isEmpty()) {
    message = QStringLiteral("Unexpected argument: ") + parser.positionalArguments().first() +
              QStringLiteral("\n\n") + help;
    exit_code = 2;
    return std::nullopt;
  }
  if (parser.isSet(db)) {
    options.connection = parser.value(db);
    options.may_create_database = parser.isSet(create);
  }
  if (parser.isSet(user)) options.user = parser.value(user);
  if (parser.isSet(account)) options.account = parser.value(account);
  if (parser.isSet(day)) {
    options.day = parser.value(day);
    const QDate date = QDate::fromString(options.day, QStringLiteral("yyyy-MM-dd"));
    if (!date.isValid()) {
      message = QStringLiteral("--day expects a date of the form YYYY-MM-DD, not \"%1\".").arg(options.day);
      exit_code = 2;
      return std::nullopt;
    }
    options.year = QString::number(date.year());
  }
  if (parser.isSet(year)) options.year = parser.value(year);
  if (parser.isSet(lang)) {
    options.language = parser.value(lang);
    // The calendar shows a code it has no texts for half in English and half
    // in Chinese; a demo user is better told what there is.
    if (!kPortalLanguages.contains(options.language.toLower())) {
      message = QStringLiteral("--lang \"%1\" is not a language of the calendar; it has %2.")
                    .arg(options.language, kPortalLanguages.join(QStringLiteral(", ")));
      exit_code = 2;
      return std::nullopt;
    }
  }
  options.open_at_once = parser.isSet(open);
  options.exit_on_close = parser.isSet(exit_on_close);
  return options;
}

QString MaskedConnection(const QString& connection) {
  // A value runs to the next ';' unless quoted with {...}, "..." or '...',
  // where the closing quote doubled ("}}", '""', "''") stands for itself and
  // so belongs to the value.
  static const QRegularExpression kPassword(
      QStringLiteral(R"((^|;)(\s*(?:password|pwd)\s*=\s*)(\{(?:[^}]|\}\})*\}|"(?:[^"]|"")*"|'(?:[^']|'')*'|[^;]*))"),
      QRegularExpression::CaseInsensitiveOption);
  QString masked = connection;
  masked.replace(kPassword, QStringLiteral("\\1\\2****"));
  return masked;
}

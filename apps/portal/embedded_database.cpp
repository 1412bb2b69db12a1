#include "embedded_database.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sqlite3.h>

std::optional<QString> EmbeddedDatabasePath(const QString& connection) {
  const QString trimmed = connection.trimmed();
  if (trimmed.isEmpty()) return std::nullopt;
  if (!trimmed.contains(QLatin1Char('='))) return trimmed;  // a bare path

  std::optional<QString> path;
  bool sqlite = false;
  for (const QString& pair : trimmed.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
    const qsizetype equals = pair.indexOf(QLatin1Char('='));
    if (equals < 0) continue;
    const QString key = pair.left(equals).trimmed().toLower();
    QString value = pair.mid(equals + 1).trimmed();
    if (value.size() >= 2 && (value.front() == QLatin1Char('"') || value.front() == QLatin1Char('\'')) &&
        value.back() == value.front()) {
      value = value.mid(1, value.size() - 2);
    }
    if (key == QLatin1String("provider")) sqlite = value.compare(QLatin1String("SQLite"), Qt::CaseInsensitive) == 0;
    if (key == QLatin1String("data source")) path = value;
  }
  if (!sqlite || !path || path->isEmpty() || *path == QLatin1String(":memory:")) return std::nullopt;
  return path;
}

QString EnsureEmbeddedDatabase(const QString& connection, bool may_create) {
  const auto path = EmbeddedDatabasePath(connection);
  if (!path || QFileInfo::exists(*path)) return {};
  if (!may_create) {
    return QStringLiteral("%1 does not exist; name an existing database, or add --create to "
                          "make a new one there")
        .arg(*path);
  }

  const QString folder = QFileInfo(*path).absolutePath();
  if (!QDir().mkpath(folder)) return QStringLiteral("cannot create the folder %1").arg(folder);
  QFile schema(QStringLiteral(":/sql/ZA_Message.sql"));
  if (!schema.open(QIODevice::ReadOnly)) return QStringLiteral("the memo table's schema is missing");
  const QByteArray ddl = schema.readAll();

  sqlite3* handle = nullptr;
  const QByteArray file = QFile::encodeName(*path);
  int rc = sqlite3_open_v2(file.constData(), &handle, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                           nullptr);
  char* message = nullptr;
  if (rc == SQLITE_OK) rc = sqlite3_exec(handle, ddl.constData(), nullptr, nullptr, &message);
  QString error;
  if (rc != SQLITE_OK) {
    error = QStringLiteral("cannot create %1: %2")
                .arg(*path, QString::fromUtf8(message ? message : sqlite3_errmsg(handle)));
  }
  sqlite3_free(message);
  sqlite3_close(handle);
  if (!error.isEmpty()) QFile::remove(*path);  // no half-made database is left behind
  return error;
}

#pragma once

#include <QString>

#include <optional>

// The SQLite file a connection string names, or nothing when it names another
// kind of database. Understands "Provider=SQLite;Data Source=<path>" and a
// bare path, as the calendar does.
std::optional<QString> EmbeddedDatabasePath(const QString& connection);

// The portal owns its database: when the connection names a SQLite file that
// does not exist yet and `may_create` allows it, the file (and its folder) is
// created with the memo table; without `may_create` a missing file is an
// error. An existing file is never touched. Returns an empty text on success,
// otherwise what went wrong.
QString EnsureEmbeddedDatabase(const QString& connection, bool may_create = true);

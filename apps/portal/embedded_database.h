#pragma once

#include <QString>

#include <optional>

// The SQLite file a connection string names, or nothing when it names another
// kind of database. Understands "Provider=SQLite;Data Source=<path>" and a
// bare path, as the calendar does.
std::optional<QString> EmbeddedDatabasePath(const QString& connection);

// The portal owns its database: when the connection names a SQLite file that
// does not exist yet, it is created with the memo table. An existing file is
// never touched. Returns an empty text on success, otherwise what went wrong.
QString EnsureEmbeddedDatabase(const QString& connection);

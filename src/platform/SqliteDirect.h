#pragma once

// Direct use of the sqlite3 handle under a QSQLITE connection for the two
// things Qt makes slow or cannot do: reading a long result, and telling
// whether the data may have changed. It is the same library Qt's driver uses.

#include "platform/Database.h"

#include <optional>

struct sqlite3;

namespace tessaro::sqlite {

// The handle of an open QSQLITE connection, or nullptr.
sqlite3* Handle(const QSqlDatabase& db);

// PRAGMA data_version (commits by other connections) and this handle's own
// change count, as one text; nothing when they cannot be read.
std::optional<QString> DataVersion(sqlite3* db);

// Reads every row of one read-only statement into columns, with the values
// and the column descriptions that the Qt path gives. False, having read
// nothing, for anything else (several statements, a failure, an aliased
// table column): the caller then goes through Qt, which also reports errors.
bool ReadAll(sqlite3* db, const QString& sql, std::vector<RecordsetColumn>& columns);

} // namespace tessaro::sqlite

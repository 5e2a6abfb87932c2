#pragma once

// Direct use of the sqlite3 handle under a QSQLITE connection for the two
// things Qt makes slow or cannot do: reading a long result, and telling
// whether the data may have changed. It is the same library Qt's driver uses.

#include "data/Database.h"

#include <optional>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace tessaro::sqlite {

// The handle of an open QSQLITE connection, or nullptr.
sqlite3* Handle(const QSqlDatabase& db);

// The prepared statements of one handle, kept for their next use so that a
// text sent again (the connection probe, the data version) is parsed once.
// A statement is reset before it is kept, so none holds a lock; all are
// finalized before the handle closes.
class Statements {
public:
    Statements() = default;
    Statements(const Statements&) = delete;
    Statements& operator=(const Statements&) = delete;
    ~Statements() { Use(nullptr); }

    // Finalizes what is kept and works on db from now on (nullptr: on nothing),
    // whose statements wait busyTimeoutMs for another user's lock.
    void Use(sqlite3* db, int busyTimeoutMs = 0);
    sqlite3* Db() const { return mDb; }
    int BusyTimeoutMs() const { return mBusyTimeoutMs; }

    // A statement of exactly this text, kept or newly prepared; nullptr when
    // the text is not one statement that prepares.
    sqlite3_stmt* Take(const QString& sql);
    // Back after use: reset and kept for the same text.
    void Give(const QString& sql, sqlite3_stmt* st);

private:
    struct Kept {
        QString sql;
        sqlite3_stmt* st;
    };
    sqlite3* mDb = nullptr;
    int mBusyTimeoutMs = 0;
    std::vector<Kept> mKept; // the most recently used first
};

// SQLite's busy and locked codes (primary or extended).
bool IsBusyCode(int code);

// PRAGMA data_version (commits by other connections) alone, and with the
// handle's own change count.
struct Versione {
    QString others;
    QString both;
};
// Nothing when they cannot be read or a transaction is open.
std::optional<Versione> DataVersion(Statements& statements);

// Reads every row of one read-only statement into columns, with the values
// and the column descriptions that the Qt path gives. False, having read
// nothing, for anything else (several statements, a failure, an aliased
// table column): the caller then goes through Qt, which also reports errors.
// A busy database raises Timeout.
// expectedRows (0 when unknown) makes room for whole numbers at once.
// values: one for each "?" of the statement.
bool ReadAll(Statements& statements, const QString& sql, const QVariantList& values,
             std::size_t expectedRows, std::vector<RecordsetColumn>& columns);
inline bool ReadAll(Statements& statements, const QString& sql, std::size_t expectedRows,
                    std::vector<RecordsetColumn>& columns) {
    return ReadAll(statements, sql, QVariantList(), expectedRows, columns);
}

} // namespace tessaro::sqlite

#pragma once

// Direct use of the libpq connection under a QPSQL connection for what Qt's
// driver does not give: the table each result column comes from (Qt asks the
// server for it only on scrollable queries, one query per table), the exact
// type of each column, and whether a transaction is open. It is the same
// library Qt's driver uses, on the same connection.

#include "data/Database.h"

#include <QHash>
#include <QSqlError>
#include <vector>

struct pg_conn;

namespace tessaro::postgres {

// The libpq connection of an open QPSQL connection, or nullptr.
pg_conn* Handle(const QSqlDatabase& db);

// OLE DB type code of a PostgreSQL type, by its OID (a domain's base type).
int TypeCodeOfOid(unsigned oid);
// Characters of a character column (varchar(n), char(n)) from its type
// modifier, 0 without a limit; the type's default size for the others.
long DefinedSize(unsigned oid, int typmod);
// A value as the server writes it in text, as the other providers give it:
// whole numbers, doubles, Booleans, dates and times as Qt values; numeric as
// its exact digits; a moment with time zone in local time; anything else as text.
QVariant ValueFromText(unsigned oid, const QByteArray& text);

// Reads results through one libpq connection, remembering table names.
class Lettore {
public:
    // Works on c from now on (nullptr: on nothing).
    void Use(pg_conn* c);
    pg_conn* Conn() const { return mConn; }
    // Every row of a statement into described columns; false with the error
    // when it fails. A statement that returns no rows gives no columns.
    bool ReadAll(const QString& sql, std::vector<RecordsetColumn>& columns, QSqlError& error);
    // A transaction is open, or failed and waits for its rollback.
    bool InTransaction() const;
    // The connection to the server is gone.
    bool Broken() const;

private:
    QString TableName(unsigned oid);
    QSqlError LastError(const void* result) const;

    pg_conn* mConn = nullptr;
    QHash<unsigned, QString> mTables;
};

} // namespace tessaro::postgres

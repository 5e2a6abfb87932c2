#pragma once

// PostgreSQL servers through Qt's QPSQL driver.

#include "data/Database.h"
#include "data/PostgresDirect.h"

#include <QStringList>

namespace tessaro {

namespace postgres {

// A name as PostgreSQL folds it when it is not quoted: ASCII letters to lower case.
QString Folded(const QString& name);
// A text literal: apostrophes doubled, as standard_conforming_strings reads it.
QString Literal(const QString& text);
// An identifier between double quotes, its quotes doubled.
QString Quoted(const QString& name);
// The parts of a name such as sales.orders or "Sales"."Orders", quotes kept.
QStringList NameParts(const QString& name);
// What the server calls the relation a host names, as a condition on the
// OID column given: the name as it is written first (a name stored in mixed
// case), then as PostgreSQL folds an unquoted name (to lower case). A name
// with a schema is looked for in that schema, one without in the search_path.
QString RelationCondition(const QString& oidColumn, const QString& name);
// The relations a rowset covers: the named one, else every one of a schema
// named, else the tables the search_path shows (one per name).
QString RelationFilter(const QString& classAlias, const QString& namespaceAlias,
                       const QString& schema, const QString& table);

// Statements that read the catalogue; the filters come from RelationFilter.
QString ColumnsStatement(const QString& filter);
QString PrimaryKeysStatement(const QString& filter);
QString ForeignKeysStatement(const QString& referencedFilter, const QString& holderFilter);
// The client's options: short connect and keep-alive timeouts so that a
// server that stops answering surfaces as a lost connection, and the
// search_path when one is given (its blanks dropped).
QString ConnectOptions(const QString& searchPath);
// One row: a text that changes whenever a transaction that wrote anything
// ends or gets its number, on the whole server (the current snapshot).
QString SignalStatement();

// OLE DB type code of a type as PostgreSQL names it ("integer", "int4",
// "character varying(30)", "timestamp with time zone", ...).
int TypeCode(const QString& typeName);
// The SQLSTATE classes and codes that mean the connection is gone.
bool IsConnectionLostState(const QString& sqlState);

} // namespace postgres

class PostgreSqlProvider : public DbProvider {
public:
    QString QtDriver() const override { return QStringLiteral("QPSQL"); }
    int TipoDatabase() const override { return 5; }
    // Server=host or Socket=folder of the server's Unix socket, Port, Database,
    // User, Password; short connect and keep-alive timeouts so that a server
    // that stops answering surfaces as a lost connection.
    void Configure(QSqlDatabase& db, const ConnectionSettings& s, bool mustExist) const override;
    std::unique_ptr<Recordset> OpenSchema(Connection& c, int queryType,
                                          const QVariantList& criteria) const override;
    bool IsConnectionLost(const QSqlError& error) const override;
    bool IsBusy(const QSqlError& error) const override;
    Refusal RefusalOf(const QSqlError& error) const override;
    QString BeginTransStatement() const override { return QStringLiteral("BEGIN"); }
    // The value the INSERT gave back with RETURNING.
    QVariant LastInsertId(const Connection& c, const QVariant& fromQuery) const override;
    bool DriverInsertId() const override { return false; }
    int TypeCode(const QString& declaredType) const override;
    void DescribeColumns(const Connection& c, const QSqlRecord& record,
                         std::vector<RecordsetColumn>& columns) const override;
    // Reads a query through libpq, with the origin table of every column.
    bool ReadDirect(Connection& c, const QString& statement, const QVariantList& values,
                    std::size_t expectedRows, std::vector<RecordsetColumn>& columns) const override;
    // The server's current snapshot, whatever tables are named: any commit
    // that wrote anything, on any table, changes it. PostgreSQL tells no
    // finer without privileges: its per-table counters reach the statistics
    // seconds after the commit, so they could hide a change.
    std::optional<ChangeSignal> Signal(const Connection& c,
                                       const QStringList& tables) const override;
    bool InTransaction(const Connection& c) const override;
    // The session writes literals as the kind-5 dialect does: strings where a
    // backslash is an ordinary character, ISO dates, moments in the local
    // time zone; a row locked by another user is waited for a while, then
    // reported as busy.
    void Opened(const QSqlDatabase& db, const ConnectionSettings& s) override;
    void Closing() override;
    QStringList CountingSession() const override;

private:
    mutable postgres::Lettore mLettore;
};

} // namespace tessaro

#pragma once

// The embedded SQLite database through Qt's QSQLITE driver.

#include "data/Database.h"
#include "data/SqliteDirect.h"

#include <optional>
#include <utility>

namespace tessaro {

namespace sqlite {

// OLE DB type code of a declared column type, tested in the order of SQLite's
// affinity rules so that, for instance, "POINT" counts as an integer.
int TypeCode(const QString& declaredType);
// The precision and scale of a DECIMAL(p, s) or NUMERIC(p, s); scale 0 when
// only the precision is given.
std::optional<std::pair<int, int>> DecimalDigits(const QString& declaredType);
// The "(n)" of a character type such as VARCHAR(30); nothing for other types.
std::optional<int> TextLength(const QString& declaredType);

// Statements that read the catalogue.
QString TablesStatement();
QString TableInfoStatement(const QString& table);
QString ForeignKeysStatement(const QString& table);
// A text literal with its apostrophes doubled.
QString Literal(const QString& text);
// The URI that opens an existing file for writing without ever creating it.
QString ExistingFileUri(const QString& path);
// Whether a CREATE TABLE text declares a table WITHOUT ROWID.
bool IsWithoutRowid(const QString& createSql);

} // namespace sqlite

class SqliteProvider : public DbProvider {
public:
    QString QtDriver() const override { return QStringLiteral("QSQLITE"); }
    int TipoDatabase() const override { return 4; }
    // The host's first open creates a missing file as SQLite always does; a
    // reconnection or a second connection must not, or a vanished database
    // would come back empty.
    void Configure(QSqlDatabase& db, const ConnectionSettings& s, bool mustExist) const override;
    std::unique_ptr<Recordset> OpenSchema(Connection& c, int queryType,
                                          const QVariantList& criteria) const override;
    bool IsConnectionLost(const QSqlError& error) const override;
    bool IsBusy(const QSqlError& error) const override;
    QString BeginTransStatement() const override { return QStringLiteral("BEGIN IMMEDIATE"); }
    QVariant LastInsertId(const Connection& c, const QVariant& fromQuery) const override;
    int TypeCode(const QString& declaredType) const override;
    void DescribeColumns(const Connection& c, const QSqlRecord& record,
                         std::vector<RecordsetColumn>& columns) const override;
    // Through the sqlite3 handle under Qt's driver (the same library).
    bool ReadDirect(Connection& c, const QString& statement, const QVariantList& values,
                    std::size_t expectedRows, std::vector<RecordsetColumn>& columns) const override;
    // PRAGMA data_version (others' commits) and the connection's own change
    // count, whatever tables are named: SQLite tells nothing finer.
    std::optional<ChangeSignal> Signal(const Connection& c,
                                       const QStringList& tables) const override;
    // A private in-memory database exists for its one connection only.
    bool Shareable(const ConnectionSettings& s) const override;
    Refusal RefusalOf(const QSqlError& error) const override;
    void Opened(const QSqlDatabase& db, const ConnectionSettings& s) override;
    void Closing() override;

private:
    // The handle of the open connection and its statements kept for reuse.
    mutable sqlite::Statements mStatements;
};

} // namespace tessaro

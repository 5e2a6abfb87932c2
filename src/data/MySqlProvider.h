#pragma once

// MariaDB and MySQL servers through Qt's QMYSQL driver.

#include "data/Database.h"

#include <QStringList>

namespace tessaro {

namespace mysql {

// OLE DB type code of a column type as information_schema.COLUMNS.COLUMN_TYPE
// writes it, for instance "int(11)", "tinyint(1)", "varchar(30)" or "bigint(20) unsigned".
int TypeCode(const QString& columnType);
// Type code of a result column from the driver's field type number and display length.
int FieldTypeCode(int fieldType, int length, bool binary);

// Client options: a short connect timeout, read and write timeouts so that a
// server that stops answering surfaces as a lost connection, and never the
// client library's automatic reconnect.
QString ConnectOptions(const QString& socket);

// A text literal with apostrophes and backslashes escaped.
QString Literal(const QString& text);
// The schema (database) a rowset reads: the named one, else the current database.
QString SchemaExpression(const QString& schema);

// What every session sets for itself, whatever the server's defaults: strict
// modes, so that a value the server would truncate or change is refused;
// backslashes read as escapes, as the literals of kind 2 are written; lock
// waits that give up (busyTimeoutMs, or 5 s when 0) well before the client's
// read timeout would call the server gone.
QString SessionStatement(int busyTimeoutMs);
// The seconds a session waits for another user's lock.
int LockWaitSeconds(int busyTimeoutMs);

// The statement behind MySqlProvider::Signal: one row of what InnoDB keeps
// for the tables of the current database (all of them when none is named)
// without the PROCESS privilege: the rows estimate and next auto-number, which
// every insert and delete moves, and a digest of the tables' update stamps.
QString SignalStatement(const QStringList& tables);

// Statements that read information_schema for one schema.
QString ColumnsStatement(const QString& schema);
QString PrimaryKeysStatement(const QString& schema);
QString ForeignKeysStatement(const QString& schema);

// A length that a 32-bit column length can hold: LONGTEXT's 4294967295 means no limit (0).
QVariant CharacterLength(const QVariant& length);
// COLUMN_DEFAULT as MariaDB writes it ("NULL", "'text'", "0") to the value itself.
QVariant DefaultValue(const QVariant& columnDefault);

} // namespace mysql

class MySqlProvider : public DbProvider {
public:
    QString QtDriver() const override { return QStringLiteral("QMYSQL"); }
    int TipoDatabase() const override { return 2; }
    void Configure(QSqlDatabase& db, const ConnectionSettings& s, bool mustExist) const override;
    std::unique_ptr<Recordset> OpenSchema(Connection& c, int queryType,
                                          const QVariantList& criteria) const override;
    bool IsConnectionLost(const QSqlError& error) const override;
    bool IsBusy(const QSqlError& error) const override;
    QString BeginTransStatement() const override { return QStringLiteral("START TRANSACTION"); }
    Refusal RefusalOf(const QSqlError& error) const override;
    bool TableNamesIgnoreCase() const override { return mNomiSenzaMaiuscole; }
    // Sets the session up (SessionStatement) and reads how table names compare.
    void Opened(const QSqlDatabase& db, const ConnectionSettings& s) override;
    QVariant LastInsertId(const Connection& c, const QVariant& fromQuery) const override;
    int TypeCode(const QString& declaredType) const override;
    void DescribeColumns(const Connection& c, const QSqlRecord& record,
                         std::vector<RecordsetColumn>& columns) const override;
    // From the catalogue's figures of the tables. An update stamp has whole
    // seconds, so two commits in one second may look like one: only the rows
    // part is certain to move, with every insert and delete.
    std::optional<ChangeSignal> Signal(const Connection& c,
                                       const QStringList& tables) const override;
    // A count reads uncommitted rows too, as the rows estimate moves with them.
    QStringList CountingSession() const override;

private:
    // lower_case_table_names is not 0: "clienti" names the table Clienti.
    bool mNomiSenzaMaiuscole = false;
};

} // namespace tessaro

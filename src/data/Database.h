#pragma once

// Connection, Recordset, Fields and Field: the classic data-access object model
// over Qt SQL. Recordsets are materialised client-side, so RecordCount is exact
// and the cursor moves in memory.

#include "data/TessaroError.h"
#include <QHash>

#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantList>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

class QSqlError;
class QSqlRecord;

namespace tessaro {

constexpr int adStateClosed = 0;
constexpr int adStateOpen = 1;

constexpr int adOpenUnspecified = -1;
constexpr int adOpenForwardOnly = 0;
constexpr int adOpenKeyset = 1;
constexpr int adOpenDynamic = 2;
constexpr int adOpenStatic = 3;

constexpr int adLockUnspecified = -1;
constexpr int adLockReadOnly = 1;
constexpr int adLockOptimistic = 3;

constexpr int adCmdUnspecified = -1;
constexpr int adCmdText = 1;

constexpr int adSchemaColumns = 4;
constexpr int adSchemaForeignKeys = 27;
constexpr int adSchemaPrimaryKeys = 28;

constexpr int adSearchForward = 1;
constexpr int adSearchBackward = -1;

constexpr int adBookmarkCurrent = 0;
constexpr int adBookmarkFirst = 1;
constexpr int adBookmarkLast = 2;

constexpr long adPosUnknown = -1;
constexpr long adPosBOF = -2;
constexpr long adPosEOF = -3;

// OLE DB type codes used in DATA_TYPE and Field::Type.
namespace DbType {
constexpr int SmallInt = 2;
constexpr int Integer = 3;
constexpr int Single = 4;
constexpr int Double = 5;
constexpr int Currency = 6;
constexpr int Date = 7;
constexpr int Boolean = 11;
constexpr int TinyInt = 16;
constexpr int UnsignedTinyInt = 17;
constexpr int UnsignedSmallInt = 18;
constexpr int UnsignedInt = 19;
constexpr int BigInt = 20;
constexpr int UnsignedBigInt = 21;
constexpr int Guid = 72;
constexpr int Binary = 128;
constexpr int Char = 129;
constexpr int WChar = 130;
constexpr int Numeric = 131;
constexpr int DbTime = 134;
constexpr int DbTimeStamp = 135;
} // namespace DbType

class Recordset;
class DbProvider;

// Texts that change when the data may have changed. A provider that cannot
// tell the parts apart gives the same text to several of them.
struct ChangeSignal {
    // Changes when rows are added to or removed from the tables.
    QString rows;
    // Changes with any change to the tables that the provider can see.
    QString content;
    // Changes only with the commits of other connections; empty when the
    // provider cannot tell them from this connection's own.
    QString others;
    // The content part changes with every change anyone makes: unchanged, it
    // vouches that nothing read since it was taken has changed.
    bool exact = false;
    // Which opening of the connection it was taken on: signals of two never match.
    quint64 opening = 0;
    bool operator==(const ChangeSignal&) const = default;
};

// Settings parsed from a connection string such as
// "Provider=SQLite;Data Source=file.db",
// "Provider=MySQL;Server=127.0.0.1;Port=3306;Database=x;User=u;Password=p" or
// "Provider=PostgreSQL;Host=db.local;Database=x;User=u;Password=p".
struct ConnectionSettings {
    QString provider; // normalised: "SQLite", "MySQL" or "PostgreSQL"
    QString dataSource;
    QString host;
    int port = 0;
    QString socket; // MySQL: the socket file; PostgreSQL: the folder of the socket
    QString database;
    QString user;
    QString password;
    // How long a statement waits for another user's lock before failing with
    // Timeout ("Busy Timeout=ms"); 0 leaves the driver's own wait.
    int busyTimeoutMs = 0;
    // PostgreSQL: the schemas a name without one is looked for in ("Search
    // Path=sales,public"); empty for the server's own setting.
    QString searchPath;

    static ConnectionSettings Parse(const QString& connectionString);
};

class Connection {
public:
    Connection();
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // Opens the connection. With an empty connection string it reconnects with
    // the settings already held (after Close). A failure raises LostConnection.
    void Open(const QString& connectionString = QString(), const QString& user = QString(),
              const QString& password = QString(), int options = -1);
    // Opens a further connection to a database that must already be there: an
    // embedded file that has gone away is reported, never created empty.
    void OpenExisting(const QString& connectionString, const QString& user,
                      const QString& password);
    void Close();
    int State() const;

    // Runs one statement that returns no rows. A rejection raises StatementRejected
    // with the database's own text; a lost connection raises LostConnection.
    void Execute(const QString& commandText, qint64* recordsAffected = nullptr, int options = -1);

    // A transaction that takes the write lock at once (SQLite BEGIN IMMEDIATE,
    // START TRANSACTION or BEGIN elsewhere); one already open raises
    // StatementRejected.
    void BeginTrans();
    void CommitTrans();
    void RollbackTrans();

    // Schema rowsets 4 (columns), 27 (foreign keys) and 28 (primary keys) with the
    // restriction arrays in the standard order; empty entries mean "any".
    std::unique_ptr<Recordset> OpenSchema(int queryType,
                                          const QVariantList& criteria = QVariantList());

    // The key the database generated for the last INSERT on this connection
    // (the value an INSERT ... RETURNING gave back, where it has one).
    QVariant LastInsertId() const;

    // What tells that rows of these tables (every table when none is named)
    // may have changed since it was taken; nothing when the provider cannot
    // tell. Signals of two different openings never compare equal.
    std::optional<ChangeSignal> Signal(const QStringList& tables = QStringList()) const;
    // Whether a new connection with the same settings reads the same data (not
    // so for a private in-memory database).
    bool Shareable() const;

    QString ConnectionString() const { return mConnectionString; }
    const ConnectionSettings& Settings() const { return mSettings; }
    QString ProviderName() const { return mSettings.provider; }
    // The database kind of its provider (4 SQLite, 2 MySQL, 5 PostgreSQL); raises
    // LostConnection when the connection was never opened.
    int TipoDatabase() const;
    // Whether a table is found by its name in any case (SQLite; MariaDB as
    // lower_case_table_names says); raises as TipoDatabase.
    bool TableNamesIgnoreCase() const;

    // For the layer below: the Qt connection and the provider.
    QSqlDatabase Database() const;
    DbProvider& Provider() const;

    // Raises LostConnection when the connection is closed.
    void RequireOpen() const;
    // Turns a failed Qt statement into the failure a caller expects: a lost
    // connection (which also marks this connection closed) or a rejection,
    // either keeping the statement.
    [[noreturn]] void RaiseFromError(const QSqlError& error, const QString& statement);

private:
    void Adopt(const QString& connectionString, const QString& user, const QString& password);
    void OpenQtConnection(bool mustExist);
    void DropQtConnection();

    QString mConnectionString;
    ConnectionSettings mSettings;
    QString mQtName;
    std::unique_ptr<DbProvider> mProvider;
    bool mOpen = false;
    QVariant mLastInsertId;
    // Counts the openings, so that a version of an earlier one never matches.
    quint64 mOpenings = 0;
};

// Column values of a recordset in columns. A column of whole numbers without
// Null is kept as 64-bit integers (8 bytes a row); anything else as QVariant.
struct RecordsetColumn {
    QString name;
    QString table; // origin table, empty when unknown
    int type = 0;  // OLE DB type code
    long definedSize = 0;
    bool packedIntegers = true;
    std::vector<qint64> integers;
    std::vector<QVariant> variants;

    QVariant At(std::size_t row) const;
    // Null is stored as an invalid QVariant whatever type the driver gave it.
    void Append(const QVariant& value);
    bool IsNull(std::size_t row) const;
    std::size_t Size() const { return packedIntegers ? integers.size() : variants.size(); }
};

class Field {
public:
    Field(const Recordset* owner, int column) : mOwner(owner), mColumn(column) {}
    // Value in the current row; raises NoCurrentRecord at BOF or EOF.
    QVariant Value() const;
    QString Name() const;
    int Type() const;
    long DefinedSize() const;

private:
    const Recordset* mOwner;
    int mColumn;
};

class Fields {
public:
    explicit Fields(const Recordset* owner) : mOwner(owner) {}
    int Count() const;
    // By position (0-based), by name (the first column of that name) or by
    // "Table.Column" (the column of that name whose origin table is Table).
    // A name or position the recordset lacks raises ItemNotFound.
    Field Item(int index) const;
    Field Item(const QString& name) const;
    Field operator[](const QString& name) const;

private:
    const Recordset* mOwner;
};

inline Field Fields::operator[](const QString& name) const {
    return Item(name);
}

class Recordset {
public:
    Recordset();
    ~Recordset();
    Recordset(const Recordset&) = delete;
    Recordset& operator=(const Recordset&) = delete;

    // A failure keeps the statement it was for (TessaroError::Statement).
    void Open(const QString& source, Connection* activeConnection,
              int cursorType = adOpenUnspecified, int lockType = adLockUnspecified,
              int options = adCmdUnspecified);
    // The same with a value for each "?" of the statement, bound rather than
    // written into the text, so that the statement is prepared once.
    void Open(const QString& source, const QVariantList& values, Connection* activeConnection);
    void Close();
    int State() const { return mOpen ? adStateOpen : adStateClosed; }

    // EOF is a C macro, hence the spelling.
    bool Bof() const;
    bool Eof() const;
    qint64 RecordCount() const;
    long AbsolutePosition() const;

    void MoveFirst();
    void MoveLast();
    // At EOF MoveNext stays there, at BOF MovePrevious stays there.
    void MoveNext();
    void MovePrevious();
    void Move(qint64 numRecords, int start = adBookmarkCurrent);

    // Criteria "col = value", "col='va''lue'" or "col=42". The cursor rests on
    // the first matching row at or after the start (skipping skipRows rows), or
    // at EOF (BOF when searching backward) when none matches. A quoted value
    // matches the text of the cell exactly; a bare number matches numerically.
    // A criterion of another form raises WrongArguments.
    void Find(const QString& criteria, qint64 skipRows = 0, int searchDirection = adSearchForward,
              int start = adBookmarkCurrent);

    tessaro::Fields Fields() const { return tessaro::Fields(this); }

    // Direct access for the layers above.
    int ColumnCount() const { return static_cast<int>(mColumns.size()); }
    int ColumnIndex(const QString& name) const; // -1 when missing
    // The column of that name read from that table; -1 when missing.
    int ColumnIndex(const QString& table, const QString& name) const;
    // Raises ObjectClosed on a closed recordset, ItemNotFound for a bad index.
    const RecordsetColumn& Column(int index) const;
    QVariant ValueAt(qint64 row, int column) const;
    // 0-based current row; -1 at BOF, RecordCount() at EOF.
    qint64 CurrentRow() const { return mRow; }
    QString Source() const { return mSource; }
    // Bytes held by the values and the search indexes (not the column names).
    std::size_t StorageBytes() const;

    // Build a recordset from values (schema rowsets).
    void OpenFromColumns(std::vector<RecordsetColumn> columns);
    // A recordset of one row of this one, with the same columns.
    std::unique_ptr<Recordset> CopyRow(qint64 row) const;

private:
    struct FindIndex;
    // Finds on one column since the last open; the index is built by the second.
    struct FindSlot {
        int finds = 0;
        std::unique_ptr<FindIndex> index;
    };
    void RequireOpen() const;
    void SetRow(qint64 row);
    void Reset();

    std::vector<RecordsetColumn> mColumns;
    qint64 mRows = 0;
    qint64 mRow = -1;
    bool mOpen = false;
    QString mSource;
    // What the recordset held before its last close: a statement read again
    // makes room for about as many rows at once.
    QString mLastSource;
    qint64 mLastRows = 0;
    // A single Find after an open (the usual requery) scans; repeated ones use an index.
    std::map<int, FindSlot> mFind;
    // Column positions by lower-case name and "table.name", built at the first
    // lookup: a record is read by name column after column, step after step.
    mutable std::shared_ptr<const QHash<QString, int>> mNames;
    void BuildNames() const;
};

// Collects the rows of a schema rowset and turns them into a recordset.
class RowsetBuilder {
public:
    // Column names with their OLE DB type codes.
    explicit RowsetBuilder(const std::vector<std::pair<QString, int>>& columns);
    // One value per column; a null QVariant is Null.
    void AddRow(const QVariantList& values);
    std::unique_ptr<Recordset> Build();

private:
    std::vector<RecordsetColumn> mColumns;
};

// What differs between database products below the object model.
class DbProvider {
public:
    virtual ~DbProvider() = default;
    virtual QString QtDriver() const = 0;
    // The database kind (TipoDatabase) whose statements this provider takes.
    virtual int TipoDatabase() const = 0;
    // Applies the settings to a fresh Qt connection before it opens.
    virtual void Configure(QSqlDatabase& db, const ConnectionSettings& s, bool mustExist) const = 0;
    virtual std::unique_ptr<Recordset> OpenSchema(Connection& c, int queryType,
                                                  const QVariantList& criteria) const = 0;
    // A failure that means the connection is gone rather than the statement rejected.
    virtual bool IsConnectionLost(const QSqlError& error) const = 0;
    // A lock held by another user made the statement give up.
    virtual bool IsBusy(const QSqlError& error) const = 0;
    // What kind of refusal a rejected statement met.
    virtual Refusal RefusalOf(const QSqlError& /*error*/) const { return Refusal::Other; }
    // Whether the database finds a table by its name in any case.
    virtual bool TableNamesIgnoreCase() const { return true; }
    // The statement that starts a transaction.
    virtual QString BeginTransStatement() const = 0;
    // fromQuery: what the driver reported for the last INSERT run by Execute
    // (the row an INSERT ... RETURNING gave back, where there is one).
    virtual QVariant LastInsertId(const Connection& c, const QVariant& fromQuery) const = 0;
    // The driver's own last insert id costs nothing and changes nothing. Not so
    // on QPSQL, which asks the server for lastval(): outside a session that
    // used a sequence that fails, and fails a transaction with it.
    virtual bool DriverInsertId() const { return true; }
    // OLE DB type code of a declared column type.
    virtual int TypeCode(const QString& declaredType) const = 0;
    // Type code and defined size of each result column of a statement. The
    // default reads them from the Qt fields; a provider that knows the declared
    // types does better.
    virtual void DescribeColumns(const Connection& c, const QSqlRecord& record,
                                 std::vector<RecordsetColumn>& columns) const;
    // Reads every row of a statement that returns rows straight into described
    // columns, faster than through Qt. False, with nothing read, when the
    // provider leaves the statement to Qt (which also reports its failures).
    // expectedRows: about how many rows to make room for (0 when unknown);
    // values: one for each "?" of the statement.
    virtual bool ReadDirect(Connection& /*c*/, const QString& /*statement*/,
                            const QVariantList& /*values*/, std::size_t /*expectedRows*/,
                            std::vector<RecordsetColumn>& /*columns*/) const {
        return false;
    }
    // The Qt connection has just opened, or is about to close: what a provider
    // keeps tied to it is taken or let go here, and a session set up.
    virtual void Opened(const QSqlDatabase& /*db*/, const ConnectionSettings& /*s*/) {}
    virtual void Closing() {}
    // What Connection::Signal reports for this provider; nothing when it cannot tell.
    virtual std::optional<ChangeSignal> Signal(const Connection& /*c*/,
                                               const QStringList& /*tables*/) const {
        return std::nullopt;
    }
    // A transaction is open on the connection, when the provider can tell.
    virtual bool InTransaction(const Connection& /*c*/) const { return false; }
    // Whether a second connection with these settings reads the same data.
    virtual bool Shareable(const ConnectionSettings& /*s*/) const { return true; }
    // Statements that set up a connection of its own that only counts rows.
    virtual QStringList CountingSession() const { return {}; }

    // Type code and defined size from a Qt value type (no declared type known).
    static int TypeCodeOf(QMetaType type);
    static long DefaultSize(int typeCode);

    static std::unique_ptr<DbProvider> Create(const QString& provider);
};

} // namespace tessaro

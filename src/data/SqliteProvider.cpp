#include "data/SqliteProvider.h"
#include "data/SchemaRowset.h"

#include "data/TessaroError.h"
#include "data/Values.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QUrl>
#include <algorithm>
#include <map>

namespace tessaro {

namespace sqlite {

int TypeCode(const QString& declaredType) {
    const QString t = declaredType.toUpper();
    const auto has = [&t](const char* part) { return t.contains(QLatin1String(part)); };
    if (has("INT"))
        return DbType::Integer;
    if (has("CHAR") || has("CLOB") || has("TEXT"))
        return DbType::WChar;
    // Names of numeric affinity that hold text: a key of these is text.
    if (has("UUID") || has("GUID") || has("UNIQUEIDENTIFIER"))
        return DbType::Guid;
    if (has("STRING"))
        return DbType::WChar;
    if (has("BLOB"))
        return DbType::Binary;
    // No declared type: the column takes any value; text is what a form can edit.
    if (t.trimmed().isEmpty())
        return DbType::WChar;
    if (has("REAL") || has("FLOA") || has("DOUB"))
        return DbType::Double;
    // Numeric affinity: the name tells what the column holds.
    if (has("BOOL"))
        return DbType::Boolean;
    if (has("DATETIME") || has("TIMESTAMP"))
        return DbType::DbTimeStamp;
    if (has("DATE"))
        return DbType::Date;
    if (has("TIME"))
        return DbType::DbTime;
    return DbType::Numeric;
}

std::optional<int> TextLength(const QString& declaredType) {
    if (TypeCode(declaredType) != DbType::WChar)
        return std::nullopt;
    static const QRegularExpression re(QStringLiteral("\\(\\s*(\\d+)\\s*\\)"));
    const auto m = re.match(declaredType);
    if (!m.hasMatch())
        return std::nullopt;
    bool ok = false;
    const int n = m.captured(1).toInt(&ok);
    return ok ? std::optional<int>(n) : std::nullopt;
}

std::optional<std::pair<int, int>> DecimalDigits(const QString& declaredType) {
    if (TypeCode(declaredType) != DbType::Numeric)
        return std::nullopt;
    static const QRegularExpression re(QStringLiteral("\\(\\s*(\\d+)\\s*(?:,\\s*(\\d+)\\s*)?\\)"));
    const auto m = re.match(declaredType);
    if (!m.hasMatch())
        return std::nullopt;
    return std::pair{m.captured(1).toInt(), m.captured(2).toInt()};
}

QString Literal(const QString& text) {
    QString doubled = text;
    doubled.replace(QLatin1Char('\''), QLatin1String("''"));
    return QLatin1Char('\'') + doubled + QLatin1Char('\'');
}

QString TablesStatement() {
    return QStringLiteral("SELECT name, sql FROM sqlite_master WHERE type = 'table' "
                          "AND name NOT LIKE 'sqlite\\_%' ESCAPE '\\' "
                          "ORDER BY name COLLATE NOCASE");
}

QString TableInfoStatement(const QString& table) {
    return QStringLiteral("SELECT cid, name, type, \"notnull\", dflt_value, pk "
                          "FROM pragma_table_info(") +
           Literal(table) + QStringLiteral(") ORDER BY cid");
}

QString ForeignKeysStatement(const QString& table) {
    // SQLite numbers the constraints of a table from the last declared one.
    return QStringLiteral("SELECT id, seq, \"table\", \"from\", \"to\", on_update, on_delete "
                          "FROM pragma_foreign_key_list(") +
           Literal(table) + QStringLiteral(") ORDER BY id DESC, seq");
}

QString ExistingFileUri(const QString& path) {
    return QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toString(QUrl::FullyEncoded) +
           QStringLiteral("?mode=rw");
}

bool IsWithoutRowid(const QString& createSql) {
    static const QRegularExpression re(QStringLiteral("\\bWITHOUT\\s+ROWID\\b"),
                                       QRegularExpression::CaseInsensitiveOption);
    const qsizetype close = createSql.lastIndexOf(QLatin1Char(')'));
    return close >= 0 && re.match(createSql.mid(close)).hasMatch();
}

} // namespace sqlite

namespace {

struct TableEntry {
    QString name;
    bool withoutRowid = false;
};

struct TableColumn {
    int position = 0; // 1-based
    QString name;
    QString type;
    bool notNull = false;
    QVariant defaultValue;
    int pk = 0; // position in the primary key, 0 when not a key column
};

using schema::ReadRows;
using schema::Rows;
using schema::TryRows;

std::vector<TableColumn> ToColumns(const Rows& rows) {
    std::vector<TableColumn> out;
    for (const auto& r : rows)
        out.push_back({r[0].toInt() + 1, r[1].toString(), r[2].toString(), r[3].toInt() != 0,
                       r[4].isNull() ? QVariant() : r[4], r[5].toInt()});
    return out;
}

// An empty restriction allows anything; names compare as SQLite does, ignoring case.
bool Allows(const QVariantList& criteria, int index, const QVariant& value) {
    return schema::RestrictionAllows(schema::RestrictionText(criteria, index), value);
}

const QString kSchemaName = QStringLiteral("main");

// Catalogue reads of one OpenSchema call, each table read once.
class Catalogue {
public:
    explicit Catalogue(Connection& c) : mConnection(c) {
        for (const auto& r : ReadRows(c, sqlite::TablesStatement()))
            mTables.push_back({r[0].toString(), sqlite::IsWithoutRowid(r[1].toString())});
    }

    const std::vector<TableEntry>& Tables() const { return mTables; }

    const TableEntry* Table(const QString& name) const {
        for (const auto& t : mTables) {
            if (t.name.compare(name, Qt::CaseInsensitive) == 0)
                return &t;
        }
        return nullptr;
    }

    const std::vector<TableColumn>& Columns(const QString& table) {
        auto& slot = mColumns[table.toLower()];
        if (!slot)
            slot = ToColumns(ReadRows(mConnection, sqlite::TableInfoStatement(table)));
        return *slot;
    }

    // Key columns in key order.
    std::vector<TableColumn> KeyColumns(const QString& table) {
        std::vector<TableColumn> key;
        for (const auto& c : Columns(table)) {
            if (c.pk > 0)
                key.push_back(c);
        }
        std::sort(key.begin(), key.end(),
                  [](const TableColumn& a, const TableColumn& b) { return a.pk < b.pk; });
        return key;
    }

    // The column as the schema declares it, or the name unchanged when unknown.
    QString DeclaredColumn(const QString& table, const QString& column) {
        for (const auto& c : Columns(table)) {
            if (c.name.compare(column, Qt::CaseInsensitive) == 0)
                return c.name;
        }
        return column;
    }

private:
    Connection& mConnection;
    std::vector<TableEntry> mTables;
    std::map<QString, std::optional<std::vector<TableColumn>>> mColumns;
};

bool IsRowidAlias(const TableColumn& c, const std::vector<TableColumn>& all, bool withoutRowid) {
    if (withoutRowid || c.pk != 1 ||
        c.type.trimmed().compare(QLatin1String("INTEGER"), Qt::CaseInsensitive) != 0)
        return false;
    return std::count_if(all.begin(), all.end(), [](const TableColumn& x) { return x.pk > 0; }) ==
           1;
}

std::unique_ptr<Recordset> ColumnsRowset(Catalogue& cat, const QVariantList& criteria) {
    RowsetBuilder b(schema::ColumnsShape());
    if (!Allows(criteria, 0, QVariant()) || !Allows(criteria, 1, kSchemaName))
        return b.Build();
    for (const auto& t : cat.Tables()) {
        if (!Allows(criteria, 2, t.name))
            continue;
        const auto& columns = cat.Columns(t.name);
        for (const auto& c : columns) {
            if (!Allows(criteria, 3, c.name))
                continue;
            const bool nullable = !c.notNull && !(t.withoutRowid && c.pk > 0) &&
                                  !IsRowidAlias(c, columns, t.withoutRowid);
            const auto length = sqlite::TextLength(c.type);
            const auto digits = sqlite::DecimalDigits(c.type);
            b.AddRow({QVariant(), kSchemaName, t.name, c.name, c.position, !c.defaultValue.isNull(),
                      c.defaultValue.isNull() ? QVariant() : QVariant(c.defaultValue.toString()),
                      nullable, sqlite::TypeCode(c.type), length ? QVariant(*length) : QVariant(),
                      digits ? QVariant(digits->first) : QVariant(),
                      digits ? QVariant(digits->second) : QVariant(),
                      IsRowidAlias(c, columns, t.withoutRowid), QVariant()});
        }
    }
    return b.Build();
}

std::unique_ptr<Recordset> PrimaryKeysRowset(Catalogue& cat, const QVariantList& criteria) {
    RowsetBuilder b(schema::PrimaryKeysShape());
    if (!Allows(criteria, 0, QVariant()) || !Allows(criteria, 1, kSchemaName))
        return b.Build();
    for (const auto& t : cat.Tables()) {
        if (!Allows(criteria, 2, t.name))
            continue;
        for (const auto& c : cat.KeyColumns(t.name))
            b.AddRow({QVariant(), kSchemaName, t.name, c.name, c.pk});
    }
    return b.Build();
}

std::unique_ptr<Recordset> ForeignKeysRowset(Connection& conn, Catalogue& cat,
                                             const QVariantList& criteria) {
    RowsetBuilder b(schema::ForeignKeysShape());
    if (!Allows(criteria, 0, QVariant()) || !Allows(criteria, 1, kSchemaName) ||
        !Allows(criteria, 3, QVariant()) || !Allows(criteria, 4, kSchemaName))
        return b.Build();
    for (const auto& t : cat.Tables()) {
        if (!Allows(criteria, 5, t.name))
            continue;
        for (const auto& r : ReadRows(conn, sqlite::ForeignKeysStatement(t.name))) {
            const int seq = r[1].toInt();
            const TableEntry* referenced = cat.Table(r[2].toString());
            const QString pkTable = referenced ? referenced->name : r[2].toString();
            if (!Allows(criteria, 2, pkTable))
                continue;
            QVariant pkColumn;
            if (!r[4].isNull() && !r[4].toString().isEmpty()) {
                pkColumn =
                    referenced ? cat.DeclaredColumn(pkTable, r[4].toString()) : r[4].toString();
            } else if (referenced) {
                // No column named: the reference is to the primary key.
                const auto key = cat.KeyColumns(pkTable);
                if (seq < static_cast<int>(key.size()))
                    pkColumn = key[static_cast<std::size_t>(seq)].name;
            }
            b.AddRow({QVariant(), kSchemaName, pkTable, pkColumn, QVariant(), kSchemaName, t.name,
                      cat.DeclaredColumn(t.name, r[3].toString()), seq + 1, r[5].toString(),
                      r[6].toString()});
        }
    }
    return b.Build();
}

} // namespace

void SqliteProvider::Configure(QSqlDatabase& db, const ConnectionSettings& s,
                               bool mustExist) const {
    const QString path = s.dataSource.trimmed();
    if (path.isEmpty())
        TessaroError::Raise(Err::LostConnection,
                            QStringLiteral("The connection string names no database file."));
    QStringList options;
    if (s.busyTimeoutMs > 0)
        options << QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(s.busyTimeoutMs);
    if (!mustExist || path == QLatin1String(":memory:")) {
        db.setConnectOptions(options.join(QLatin1Char(';')));
        db.setDatabaseName(path);
        return;
    }
    options << QStringLiteral("QSQLITE_OPEN_URI");
    db.setConnectOptions(options.join(QLatin1Char(';')));
    db.setDatabaseName(sqlite::ExistingFileUri(path));
}

std::unique_ptr<Recordset> SqliteProvider::OpenSchema(Connection& c, int queryType,
                                                      const QVariantList& criteria) const {
    if (queryType != adSchemaColumns && queryType != adSchemaPrimaryKeys &&
        queryType != adSchemaForeignKeys)
        TessaroError::Raise(Err::InvalidCall,
                            QStringLiteral("Schema rowset %1 is not supported.").arg(queryType));
    Catalogue cat(c);
    if (queryType == adSchemaColumns)
        return ColumnsRowset(cat, criteria);
    if (queryType == adSchemaPrimaryKeys)
        return PrimaryKeysRowset(cat, criteria);
    return ForeignKeysRowset(c, cat, criteria);
}

bool SqliteProvider::IsConnectionLost(const QSqlError& error) const {
    // QSQLITE calls any failure while stepping a "connection error", constraint
    // violations included, so only SQLite's own code tells. Without one the
    // driver itself found no usable handle.
    bool ok = false;
    const int code = error.nativeErrorCode().toInt(&ok) & 0xFF; // primary of an extended code
    if (!ok)
        return error.type() == QSqlError::ConnectionError;
    constexpr int ioError = 10, cannotOpen = 14, notADatabase = 26;
    return code == ioError || code == cannotOpen || code == notADatabase;
}

bool SqliteProvider::IsBusy(const QSqlError& error) const {
    return sqlite::IsBusyCode(error.nativeErrorCode().toInt());
}

QVariant SqliteProvider::LastInsertId(const Connection& c, const QVariant& fromQuery) const {
    Rows rows;
    QSqlError error;
    if (TryRows(c, QStringLiteral("SELECT last_insert_rowid()"), rows, error) && !rows.empty()) {
        const qint64 id = rows.front().front().toLongLong();
        if (id != 0)
            return id;
    }
    return fromQuery.isNull() ? QVariant() : fromQuery;
}

int SqliteProvider::TypeCode(const QString& declaredType) const {
    return sqlite::TypeCode(declaredType);
}

void SqliteProvider::DescribeColumns(const Connection& c, const QSqlRecord& record,
                                     std::vector<RecordsetColumn>& columns) const {
    DbProvider::DescribeColumns(c, record, columns);
    std::map<QString, std::vector<TableColumn>> declared;
    for (auto& col : columns) {
        if (col.table.isEmpty())
            continue;
        auto it = declared.find(col.table.toLower());
        if (it == declared.end()) {
            Rows rows;
            QSqlError error;
            // The declared types only refine what the driver said; a failure leaves that.
            TryRows(c, sqlite::TableInfoStatement(col.table), rows, error);
            it = declared.emplace(col.table.toLower(), ToColumns(rows)).first;
        }
        for (const auto& d : it->second) {
            if (d.name.compare(col.name, Qt::CaseInsensitive) != 0)
                continue;
            col.type = sqlite::TypeCode(d.type);
            col.definedSize = sqlite::TextLength(d.type).value_or(DefaultSize(col.type));
            break;
        }
    }
}

bool SqliteProvider::ReadDirect(Connection& /*c*/, const QString& statement,
                                const QVariantList& values, std::size_t expectedRows,
                                std::vector<RecordsetColumn>& columns) const {
    return mStatements.Db() &&
           sqlite::ReadAll(mStatements, statement, values, expectedRows, columns);
}

std::optional<ChangeSignal> SqliteProvider::Signal(const Connection& /*c*/,
                                                   const QStringList& /*tables*/) const {
    if (!mStatements.Db())
        return std::nullopt;
    const auto version = sqlite::DataVersion(mStatements);
    if (!version)
        return std::nullopt;
    return ChangeSignal{
        .rows = version->both, .content = version->both, .others = version->others, .exact = true};
}

bool SqliteProvider::Shareable(const ConnectionSettings& s) const {
    const QString path = s.dataSource.trimmed();
    return !path.isEmpty() && path != QLatin1String(":memory:") &&
           !path.contains(QLatin1String("mode=memory"), Qt::CaseInsensitive);
}

Refusal SqliteProvider::RefusalOf(const QSqlError& error) const {
    // Extended codes: SQLITE_CONSTRAINT_PRIMARYKEY, _UNIQUE, _FOREIGNKEY.
    constexpr int primaryKey = 1555, unique = 2067, foreignKey = 787;
    switch (error.nativeErrorCode().toInt()) {
    case primaryKey:
    case unique:
        return Refusal::Duplicate;
    case foreignKey:
        return Refusal::Reference;
    default:
        return Refusal::Other;
    }
}

void SqliteProvider::Opened(const QSqlDatabase& db, const ConnectionSettings& s) {
    // Without a Busy Timeout, Qt's driver waits its own default of 5 s.
    constexpr int qtDefaultBusyTimeoutMs = 5000;
    mStatements.Use(sqlite::Handle(db),
                    s.busyTimeoutMs > 0 ? s.busyTimeoutMs : qtDefaultBusyTimeoutMs);
}

void SqliteProvider::Closing() {
    // sqlite3_close refuses a handle with statements left: they go first.
    mStatements.Use(nullptr);
}

} // namespace tessaro

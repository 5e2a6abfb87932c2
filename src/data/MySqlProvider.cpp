#include "data/MySqlProvider.h"
#include "data/SchemaRowset.h"

#include "data/TessaroError.h"
#include "data/Values.h"

#include <QRegularExpression>
#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>
#include <QSqlRecord>
#include <algorithm>
#include <limits>

namespace tessaro {

namespace {

// The client library's field type numbers (enum_field_types).
namespace FieldType {
constexpr int Decimal = 0, Tiny = 1, Short = 2, Long = 3, Float = 4, Double = 5, Timestamp = 7,
              LongLong = 8, Int24 = 9, Date = 10, Time = 11, DateTime = 12, Year = 13, NewDate = 14,
              Bit = 16, Timestamp2 = 17, DateTime2 = 18, Time2 = 19, NewDecimal = 246;
} // namespace FieldType

// utf8mb4, the connection's character set, takes up to four bytes a character
// and the driver gives text lengths in bytes.
constexpr int kBytesPerCharacter = 4;

constexpr int kConnectTimeoutSeconds = 5;
constexpr int kReadWriteTimeoutSeconds = 10;
// A lock wait ends with the server's own answer before the read timeout.
constexpr int kLockWaitDefaultSeconds = 5;
constexpr int kLockWaitMaxSeconds = kReadWriteTimeoutSeconds - 2;

} // namespace

namespace mysql {

int TypeCode(const QString& columnType) {
    static const QRegularExpression re(QStringLiteral("^\\s*([a-z]+)\\s*(?:\\(\\s*([^)]*)\\))?"),
                                       QRegularExpression::CaseInsensitiveOption);
    const auto m = re.match(columnType);
    const QString base = m.hasMatch() ? m.captured(1).toLower() : QString();
    const QString args = m.hasMatch() ? m.captured(2).trimmed() : QString();
    using namespace DbType;
    if (base == QLatin1String("tinyint"))
        return args == QLatin1String("1") ? Boolean : TinyInt;
    if (base == QLatin1String("bool") || base == QLatin1String("boolean"))
        return Boolean;
    // BIT(1) is a flag; a wider bit field is a number.
    if (base == QLatin1String("bit"))
        return args.isEmpty() || args == QLatin1String("1") ? Boolean : BigInt;
    if (base == QLatin1String("smallint") || base == QLatin1String("year"))
        return SmallInt;
    if (base == QLatin1String("mediumint") || base == QLatin1String("int") ||
        base == QLatin1String("integer"))
        return Integer;
    if (base == QLatin1String("bigint"))
        return BigInt;
    if (base == QLatin1String("float"))
        return Single;
    if (base == QLatin1String("double") || base == QLatin1String("real"))
        return Double;
    if (base == QLatin1String("decimal") || base == QLatin1String("numeric") ||
        base == QLatin1String("dec") || base == QLatin1String("fixed"))
        return Numeric;
    if (base == QLatin1String("date"))
        return Date;
    if (base == QLatin1String("datetime") || base == QLatin1String("timestamp"))
        return DbTimeStamp;
    if (base == QLatin1String("time"))
        return DbTime;
    if (base.endsWith(QLatin1String("blob")) || base == QLatin1String("binary") ||
        base == QLatin1String("varbinary") || base == QLatin1String("geometry") ||
        base == QLatin1String("point") || base == QLatin1String("linestring") ||
        base == QLatin1String("polygon"))
        return Binary;
    // char, varchar, the text types, enum, set, json, uuid, inet and the rest:
    // what a form shows and edits as text.
    return WChar;
}

int FieldTypeCode(int fieldType, int length, bool binary) {
    using namespace DbType;
    switch (fieldType) {
    case FieldType::Tiny:
        return length == 1 ? Boolean : TinyInt;
    case FieldType::Bit:
        return length <= 1 ? Boolean : BigInt;
    case FieldType::Short:
    case FieldType::Year:
        return SmallInt;
    case FieldType::Long:
    case FieldType::Int24:
        return Integer;
    case FieldType::LongLong:
        return BigInt;
    case FieldType::Float:
        return Single;
    case FieldType::Double:
        return Double;
    case FieldType::Decimal:
    case FieldType::NewDecimal:
        return Numeric;
    case FieldType::Date:
    case FieldType::NewDate:
        return Date;
    case FieldType::Timestamp:
    case FieldType::DateTime:
    case FieldType::Timestamp2:
    case FieldType::DateTime2:
        return DbTimeStamp;
    case FieldType::Time:
    case FieldType::Time2:
        return DbTime;
    default:
        return binary ? Binary : WChar;
    }
}

QString ConnectOptions(const QString& socket) {
    QString options = QStringLiteral("MYSQL_OPT_CONNECT_TIMEOUT=%1;MYSQL_OPT_READ_TIMEOUT=%2;"
                                     "MYSQL_OPT_WRITE_TIMEOUT=%2;MYSQL_OPT_RECONNECT=0;"
                                     "CLIENT_FOUND_ROWS")
                          .arg(kConnectTimeoutSeconds)
                          .arg(kReadWriteTimeoutSeconds);
    if (!socket.trimmed().isEmpty())
        options += QStringLiteral(";UNIX_SOCKET=") + socket.trimmed();
    return options;
}

QString Literal(const QString& text) {
    QString out;
    out.reserve(text.size() + 2);
    out += QLatin1Char('\'');
    for (const QChar ch : text) {
        if (ch == QLatin1Char('\'') || ch == QLatin1Char('\\'))
            out += QLatin1Char('\\');
        if (ch == QChar(0)) {
            out += QLatin1String("\\0");
            continue;
        }
        out += ch;
    }
    out += QLatin1Char('\'');
    return out;
}

QString SchemaExpression(const QString& schema) {
    return schema.trimmed().isEmpty() ? QStringLiteral("DATABASE()") : Literal(schema.trimmed());
}

QString ColumnsStatement(const QString& schema) {
    return QStringLiteral("SELECT TABLE_SCHEMA, TABLE_NAME, COLUMN_NAME, ORDINAL_POSITION, "
                          "COLUMN_DEFAULT, IS_NULLABLE, COLUMN_TYPE, CHARACTER_MAXIMUM_LENGTH, "
                          "NUMERIC_PRECISION, NUMERIC_SCALE, EXTRA, DATETIME_PRECISION "
                          "FROM information_schema.COLUMNS WHERE TABLE_SCHEMA = ") +
           SchemaExpression(schema) + QStringLiteral(" ORDER BY TABLE_NAME, ORDINAL_POSITION");
}

QString PrimaryKeysStatement(const QString& schema) {
    return QStringLiteral("SELECT TABLE_SCHEMA, TABLE_NAME, COLUMN_NAME, ORDINAL_POSITION "
                          "FROM information_schema.KEY_COLUMN_USAGE WHERE TABLE_SCHEMA = ") +
           SchemaExpression(schema) +
           QStringLiteral(" AND CONSTRAINT_NAME = 'PRIMARY' ORDER BY TABLE_NAME, "
                          "ORDINAL_POSITION");
}

QString ForeignKeysStatement(const QString& schema) {
    return QStringLiteral(
               "SELECT k.REFERENCED_TABLE_SCHEMA, k.REFERENCED_TABLE_NAME, "
               "k.REFERENCED_COLUMN_NAME, k.TABLE_SCHEMA, k.TABLE_NAME, k.COLUMN_NAME, "
               "k.ORDINAL_POSITION, r.UPDATE_RULE, r.DELETE_RULE, k.CONSTRAINT_NAME "
               "FROM information_schema.KEY_COLUMN_USAGE k "
               "LEFT JOIN information_schema.REFERENTIAL_CONSTRAINTS r "
               "ON r.CONSTRAINT_SCHEMA = k.CONSTRAINT_SCHEMA AND r.TABLE_NAME = k.TABLE_NAME "
               "AND r.CONSTRAINT_NAME = k.CONSTRAINT_NAME "
               "WHERE k.TABLE_SCHEMA = ") +
           SchemaExpression(schema) +
           QStringLiteral(" AND k.REFERENCED_TABLE_NAME IS NOT NULL "
                          "ORDER BY k.TABLE_NAME, k.CONSTRAINT_NAME, k.ORDINAL_POSITION");
}

QVariant CharacterLength(const QVariant& length) {
    if (length.isNull())
        return QVariant();
    const qint64 n = length.toLongLong();
    if (n <= 0 || n > std::numeric_limits<qint32>::max())
        return 0;
    return static_cast<int>(n);
}

QVariant DefaultValue(const QVariant& columnDefault) {
    if (columnDefault.isNull())
        return QVariant();
    const QString text = columnDefault.toString();
    if (text == QLatin1String("NULL"))
        return QVariant();
    if (text.size() >= 2 && text.front() == QLatin1Char('\'') && text.back() == QLatin1Char('\''))
        return text.mid(1, text.size() - 2).replace(QLatin1String("''"), QLatin1String("'"));
    return text;
}

int LockWaitSeconds(int busyTimeoutMs) {
    if (busyTimeoutMs <= 0)
        return kLockWaitDefaultSeconds;
    return std::min((busyTimeoutMs + 999) / 1000, kLockWaitMaxSeconds);
}

QString SessionStatement(int busyTimeoutMs) {
    return QStringLiteral(
               "SET SESSION sql_mode = CONCAT_WS(',', NULLIF(TRIM(BOTH ',' FROM "
               "REPLACE(CONCAT(',', @@SESSION.sql_mode, ','), ',NO_BACKSLASH_ESCAPES,', ',')), "
               "''), 'STRICT_ALL_TABLES'), innodb_lock_wait_timeout = %1, lock_wait_timeout = %1")
        .arg(LockWaitSeconds(busyTimeoutMs));
}

QString SignalStatement(const QStringList& tables) {
    QString which;
    if (!tables.isEmpty()) {
        QStringList names;
        for (const QString& t : tables)
            names << Literal(t);
        which = QStringLiteral(" AND TABLE_NAME IN (") + names.join(QStringLiteral(", ")) +
                QLatin1Char(')');
    }
    // A stamp has whole seconds, and InnoDB writes the second its transaction
    // began: while the newest is this second or the one before, another commit
    // may still leave it as it is, so the signal differs at every reading.
    return QStringLiteral("SELECT CONCAT(COUNT(*), ':', COALESCE(SUM(TABLE_ROWS), '-'), ':', "
                          "COALESCE(SUM(AUTO_INCREMENT), '-')), "
                          "CONCAT(COALESCE(SUM(CRC32(CONCAT_WS(':', TABLE_NAME, UPDATE_TIME))), "
                          "'-'), IF(MAX(UPDATE_TIME) >= NOW() - INTERVAL 1 SECOND, "
                          "CONCAT(':', UUID_SHORT()), '')) "
                          "FROM information_schema.TABLES WHERE TABLE_SCHEMA = DATABASE() "
                          "AND TABLE_TYPE = 'BASE TABLE'") +
           which;
}

} // namespace mysql

namespace {

using schema::ReadRows;

QString Restriction(const QVariantList& criteria, int index) {
    return schema::RestrictionText(criteria, index).trimmed();
}

// An empty restriction allows anything; names compare ignoring case.
bool Allows(const QVariantList& criteria, int index, const QVariant& value) {
    return schema::RestrictionAllows(Restriction(criteria, index), value);
}

// The server has one catalogue; a rowset restricted to a named catalogue is empty.
bool CatalogueAllowed(const QVariantList& criteria, int index) {
    return Restriction(criteria, index).isEmpty();
}

std::unique_ptr<Recordset> ColumnsRowset(Connection& c, const QVariantList& criteria) {
    using namespace DbType;
    RowsetBuilder b(schema::ColumnsShape());
    if (!CatalogueAllowed(criteria, 0))
        return b.Build();
    for (const auto& r : ReadRows(c, mysql::ColumnsStatement(Restriction(criteria, 1)))) {
        if (!Allows(criteria, 2, r[1]) || !Allows(criteria, 3, r[2]))
            continue;
        const QVariant defaultValue = mysql::DefaultValue(r[4]);
        const int type = mysql::TypeCode(r[6].toString());
        const bool character = type == WChar || type == Binary;
        const bool decimal = type == Numeric;
        const bool time = type == DbTimeStamp || type == DbTime;
        b.AddRow({QVariant(), r[0], r[1], r[2], r[3].toInt(), !defaultValue.isNull(), defaultValue,
                  r[5].toString().compare(QLatin1String("YES")) == 0, type,
                  character ? mysql::CharacterLength(r[7]) : QVariant(),
                  decimal ? r[8] : QVariant(), decimal ? r[9] : QVariant(),
                  r[10].toString().contains(QLatin1String("auto_increment"), Qt::CaseInsensitive),
                  time ? r[11] : QVariant()});
    }
    return b.Build();
}

std::unique_ptr<Recordset> PrimaryKeysRowset(Connection& c, const QVariantList& criteria) {
    using namespace DbType;
    schema::Shape shape = schema::PrimaryKeysShape();
    shape.emplace_back(QStringLiteral("PK_NAME"), WChar);
    RowsetBuilder b(shape);
    if (!CatalogueAllowed(criteria, 0))
        return b.Build();
    for (const auto& r : ReadRows(c, mysql::PrimaryKeysStatement(Restriction(criteria, 1)))) {
        if (!Allows(criteria, 2, r[1]))
            continue;
        b.AddRow({QVariant(), r[0], r[1], r[2], r[3].toInt(), QStringLiteral("PRIMARY")});
    }
    return b.Build();
}

std::unique_ptr<Recordset> ForeignKeysRowset(Connection& c, const QVariantList& criteria) {
    using namespace DbType;
    schema::Shape shape = schema::ForeignKeysShape();
    shape.emplace_back(QStringLiteral("FK_NAME"), WChar);
    RowsetBuilder b(shape);
    if (!CatalogueAllowed(criteria, 0) || !CatalogueAllowed(criteria, 3))
        return b.Build();
    // The keys a table holds live in that table's schema.
    for (const auto& r : ReadRows(c, mysql::ForeignKeysStatement(Restriction(criteria, 4)))) {
        if (!Allows(criteria, 1, r[0]) || !Allows(criteria, 2, r[1]) || !Allows(criteria, 5, r[4]))
            continue;
        b.AddRow({QVariant(), r[0], r[1], r[2], QVariant(), r[3], r[4], r[5], r[6].toInt(), r[7],
                  r[8], r[9]});
    }
    return b.Build();
}

// A BIT value arrives as the raw bytes of the field, most significant first.
QVariant BitValue(const QVariant& raw) {
    if (raw.isNull())
        return QVariant();
    qint64 n = 0;
    for (const QChar ch : raw.toString())
        n = (n << 8) | (ch.unicode() & 0xFF);
    return n;
}

void DecodeBits(RecordsetColumn& column) {
    std::vector<QVariant> raw;
    for (std::size_t r = 0; r < column.Size(); ++r)
        raw.push_back(column.At(r));
    RecordsetColumn decoded;
    for (const auto& v : raw)
        decoded.Append(BitValue(v));
    column.packedIntegers = decoded.packedIntegers;
    column.integers = std::move(decoded.integers);
    column.variants = std::move(decoded.variants);
}

} // namespace

void MySqlProvider::Configure(QSqlDatabase& db, const ConnectionSettings& s,
                              bool /*mustExist*/) const {
    const QString host = s.host.trimmed();
    if (host.isEmpty() && s.socket.trimmed().isEmpty())
        TessaroError::Raise(Err::LostConnection,
                            QStringLiteral("The connection string names no server."));
    db.setHostName(host.isEmpty() ? QStringLiteral("localhost") : host);
    if (s.port > 0)
        db.setPort(s.port);
    db.setDatabaseName(s.database);
    db.setUserName(s.user);
    db.setPassword(s.password);
    db.setConnectOptions(mysql::ConnectOptions(s.socket));
    // DECIMAL as the server writes it, every digit; DescribeColumns gives the
    // other fractional columns back their doubles.
    db.setNumericalPrecisionPolicy(QSql::HighPrecision);
}

std::unique_ptr<Recordset> MySqlProvider::OpenSchema(Connection& c, int queryType,
                                                     const QVariantList& criteria) const {
    if (queryType == adSchemaColumns)
        return ColumnsRowset(c, criteria);
    if (queryType == adSchemaPrimaryKeys)
        return PrimaryKeysRowset(c, criteria);
    if (queryType == adSchemaForeignKeys)
        return ForeignKeysRowset(c, criteria);
    TessaroError::Raise(Err::InvalidCall,
                        QStringLiteral("Schema rowset %1 is not supported.").arg(queryType));
}

bool MySqlProvider::IsConnectionLost(const QSqlError& error) const {
    if (error.type() == QSqlError::ConnectionError)
        return true;
    bool ok = false;
    const int code = error.nativeErrorCode().toInt(&ok);
    if (!ok)
        return false;
    switch (code) {
    case 1053: // server shutdown in progress
    case 1927: // connection killed
    case 2002: // cannot connect through the socket
    case 2003: // cannot connect to the host
    case 2006: // server has gone away
    case 2013: // lost connection during query
    case 2055: // lost connection at a given stage
    case 4031: // disconnected by the server for inactivity
        return true;
    default:
        return false;
    }
}

void MySqlProvider::Opened(const QSqlDatabase& db, const ConnectionSettings& s) {
    QSqlQuery q(db);
    q.exec(mysql::SessionStatement(s.busyTimeoutMs));
    // MySQL 8 caches the catalogue's table figures for a day; MariaDB has no
    // such setting and refuses the statement, which changes nothing there.
    q.exec(QStringLiteral("SET SESSION information_schema_stats_expiry = 0"));
    mNomiSenzaMaiuscole = q.exec(QStringLiteral("SELECT @@lower_case_table_names")) && q.next() &&
                          q.value(0).toInt() != 0;
}

Refusal MySqlProvider::RefusalOf(const QSqlError& error) const {
    switch (error.nativeErrorCode().toInt()) {
    case 1022: // duplicate key on write
    case 1062: // duplicate entry
    case 1586: // duplicate entry for a key
        return Refusal::Duplicate;
    case 1216: // no parent row
    case 1217: // a child row refers to it
    case 1451: // cannot delete or update a parent row
    case 1452: // cannot add or update a child row
        return Refusal::Reference;
    case 1264: // out of range
    case 1265: // data truncated
    case 1292: // truncated incorrect value
    case 1366: // incorrect string value: a character the column's set lacks
    case 1367: // illegal value during parsing
    case 1406: // data too long
        return Refusal::NotStored;
    default:
        return Refusal::Other;
    }
}

bool MySqlProvider::IsBusy(const QSqlError& error) const {
    const int code = error.nativeErrorCode().toInt();
    constexpr int lockWaitTimeout = 1205, deadlock = 1213;
    return code == lockWaitTimeout || code == deadlock;
}

QVariant MySqlProvider::LastInsertId(const Connection& /*c*/, const QVariant& fromQuery) const {
    // The client reports the AUTO_INCREMENT value of the last statement itself,
    // generated or given. LAST_INSERT_ID() would instead repeat the value of an
    // earlier statement after an insert that generated none.
    if (fromQuery.isNull() || fromQuery.toLongLong() == 0)
        return QVariant();
    return fromQuery.toLongLong();
}

int MySqlProvider::TypeCode(const QString& declaredType) const {
    return mysql::TypeCode(declaredType);
}

void MySqlProvider::DescribeColumns(const Connection& /*c*/, const QSqlRecord& record,
                                    std::vector<RecordsetColumn>& columns) const {
    for (int i = 0; i < record.count() && i < static_cast<int>(columns.size()); ++i) {
        const QSqlField f = record.field(i);
        RecordsetColumn& col = columns[static_cast<std::size_t>(i)];
        const bool binary = f.metaType().id() == QMetaType::QByteArray;
        const int length = static_cast<int>(f.length());
        col.type = mysql::FieldTypeCode(f.typeID(), length, binary);
        if (f.typeID() == FieldType::Bit)
            DecodeBits(col);
        if (f.metaType().id() == QMetaType::Double && col.type != DbType::Numeric)
            for (QVariant& v : col.variants)
                if (v.isValid())
                    v = v.toDouble();
        if (col.type == DbType::WChar)
            col.definedSize = length > 0 ? length / kBytesPerCharacter : 0;
        else if (col.type == DbType::Binary)
            col.definedSize = length > 0 ? length : 0;
        else
            col.definedSize = DefaultSize(col.type);
    }
}

std::optional<ChangeSignal> MySqlProvider::Signal(const Connection& c,
                                                  const QStringList& tables) const {
    schema::Rows rows;
    QSqlError error;
    if (!schema::TryRows(c, mysql::SignalStatement(tables), rows, error) || rows.empty() ||
        rows.front().size() < 2)
        return std::nullopt;
    const QString righe = rows.front()[0].toString();
    return ChangeSignal{.rows = righe,
                        .content = righe + QLatin1Char('/') + rows.front()[1].toString(),
                        .others = QString()};
}

QStringList MySqlProvider::CountingSession() const {
    return {QStringLiteral("SET SESSION TRANSACTION ISOLATION LEVEL READ UNCOMMITTED")};
}

} // namespace tessaro

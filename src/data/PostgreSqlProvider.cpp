#include "data/PostgreSqlProvider.h"
#include "data/SchemaRowset.h"

#include "data/TessaroError.h"
#include "data/Values.h"

#include <QRegularExpression>
#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTimeZone>

namespace tessaro {

namespace {

constexpr int kConnectTimeoutSeconds = 5;
// A row another user keeps locked is waited for this long, then reported as busy.
constexpr int kLockTimeoutMs = 10000;
// A varchar(n) or numeric(p, s) keeps its figures after a 4-byte header.
constexpr int kIntestazioneTypmod = 4;

bool IsQuoted(const QString& part) {
    return part.size() >= 2 && part.front() == QLatin1Char('"') && part.back() == QLatin1Char('"');
}

} // namespace

namespace postgres {

QString Folded(const QString& name) {
    QString out = name;
    for (QChar& ch : out)
        if (ch >= QLatin1Char('A') && ch <= QLatin1Char('Z'))
            ch = QChar(ch.unicode() + ('a' - 'A'));
    return out;
}

QString Literal(const QString& text) {
    QString doubled = text;
    doubled.replace(QLatin1Char('\''), QLatin1String("''"));
    return QLatin1Char('\'') + doubled + QLatin1Char('\'');
}

QString Quoted(const QString& name) {
    QString doubled = name;
    doubled.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + doubled + QLatin1Char('"');
}

QStringList NameParts(const QString& name) {
    QStringList parts;
    QString current;
    bool inQuotes = false;
    for (const QChar ch : name.trimmed()) {
        if (ch == QLatin1Char('"'))
            inQuotes = !inQuotes;
        if (ch == QLatin1Char('.') && !inQuotes) {
            parts << current.trimmed();
            current.clear();
            continue;
        }
        current += ch;
    }
    parts << current.trimmed();
    return parts;
}

QString RelationCondition(const QString& oidColumn, const QString& name) {
    QStringList exact, folded;
    for (const QString& part : NameParts(name)) {
        exact << (IsQuoted(part) ? part : Quoted(part));
        folded << (IsQuoted(part) ? part : Quoted(Folded(part)));
    }
    return oidColumn + QStringLiteral(" = COALESCE(pg_catalog.to_regclass(") +
           Literal(exact.join(QLatin1Char('.'))) + QStringLiteral("), pg_catalog.to_regclass(") +
           Literal(folded.join(QLatin1Char('.'))) + QStringLiteral("))");
}

QString RelationFilter(const QString& classAlias, const QString& namespaceAlias,
                       const QString& schema, const QString& table) {
    if (!table.isEmpty())
        return RelationCondition(classAlias + QStringLiteral(".oid"),
                                 schema.isEmpty() || NameParts(table).size() > 1
                                     ? table
                                     : schema + QLatin1Char('.') + table);
    if (!schema.isEmpty())
        return namespaceAlias +
               QStringLiteral(".nspname = COALESCE((SELECT nspname FROM pg_catalog.pg_namespace "
                              "WHERE nspname = ") +
               Literal(schema) + QStringLiteral("), ") + Literal(Folded(schema)) + QLatin1Char(')');
    // Not the system's own tables, which are always visible.
    return QStringLiteral("pg_catalog.pg_table_is_visible(") + classAlias +
           QStringLiteral(".oid) AND ") + namespaceAlias +
           QStringLiteral(".nspname = ANY (pg_catalog.current_schemas(false))");
}

QString ColumnsStatement(const QString& filter) {
    return QStringLiteral(
               "SELECT n.nspname, c.relname, a.attname, a.attnum, "
               "pg_catalog.pg_get_expr(d.adbin, d.adrelid), NOT a.attnotnull, "
               "CASE WHEN t.typtype = 'd' THEN t.typbasetype ELSE a.atttypid END, "
               "CASE WHEN t.typtype = 'd' THEN t.typtypmod ELSE a.atttypmod END, "
               "a.attidentity, a.attgenerated "
               "FROM pg_catalog.pg_attribute a "
               "JOIN pg_catalog.pg_class c ON c.oid = a.attrelid "
               "JOIN pg_catalog.pg_namespace n ON n.oid = c.relnamespace "
               "JOIN pg_catalog.pg_type t ON t.oid = a.atttypid "
               "LEFT JOIN pg_catalog.pg_attrdef d ON d.adrelid = a.attrelid AND d.adnum = a.attnum "
               "WHERE a.attnum > 0 AND NOT a.attisdropped AND c.relkind IN ('r', 'p', 'v', 'm', "
               "'f') AND ") +
           filter + QStringLiteral(" ORDER BY n.nspname, c.relname, a.attnum");
}

QString PrimaryKeysStatement(const QString& filter) {
    return QStringLiteral("SELECT n.nspname, c.relname, a.attname, k.ord, con.conname "
                          "FROM pg_catalog.pg_constraint con "
                          "JOIN pg_catalog.pg_class c ON c.oid = con.conrelid "
                          "JOIN pg_catalog.pg_namespace n ON n.oid = c.relnamespace "
                          "CROSS JOIN LATERAL unnest(con.conkey) WITH ORDINALITY AS k(attnum, ord) "
                          "JOIN pg_catalog.pg_attribute a ON a.attrelid = c.oid "
                          "AND a.attnum = k.attnum WHERE con.contype = 'p' AND ") +
           filter + QStringLiteral(" ORDER BY n.nspname, c.relname, k.ord");
}

QString ForeignKeysStatement(const QString& referencedFilter, const QString& holderFilter) {
    // A referenced table that the search_path does not show is named with its schema.
    return QStringLiteral(
               "SELECT pn.nspname, CASE WHEN pg_catalog.pg_table_is_visible(pc.oid) "
               "THEN pc.relname ELSE pn.nspname || '.' || pc.relname END, pa.attname, "
               "fn.nspname, fc.relname, fa.attname, k.ord, con.confupdtype, con.confdeltype, "
               "con.conname FROM pg_catalog.pg_constraint con "
               "JOIN pg_catalog.pg_class fc ON fc.oid = con.conrelid "
               "JOIN pg_catalog.pg_namespace fn ON fn.oid = fc.relnamespace "
               "JOIN pg_catalog.pg_class pc ON pc.oid = con.confrelid "
               "JOIN pg_catalog.pg_namespace pn ON pn.oid = pc.relnamespace "
               "CROSS JOIN LATERAL unnest(con.conkey, con.confkey) WITH ORDINALITY "
               "AS k(fk, pk, ord) "
               "JOIN pg_catalog.pg_attribute fa ON fa.attrelid = fc.oid AND fa.attnum = k.fk "
               "JOIN pg_catalog.pg_attribute pa ON pa.attrelid = pc.oid AND pa.attnum = k.pk "
               "WHERE con.contype = 'f' AND ") +
           referencedFilter + QStringLiteral(" AND ") + holderFilter +
           QStringLiteral(" ORDER BY fc.relname, con.conname, k.ord");
}

QString ConnectOptions(const QString& searchPath) {
    QString options = QStringLiteral("connect_timeout=%1;application_name=Tessaro;"
                                     "keepalives_idle=10;keepalives_interval=5;"
                                     "keepalives_count=2;tcp_user_timeout=10000")
                          .arg(kConnectTimeoutSeconds);
    QString path = searchPath;
    path.remove(QRegularExpression(QStringLiteral("\\s")));
    if (path.isEmpty())
        return options;
    // A value of the connection string between quotes, its quotes and
    // backslashes escaped.
    path.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    path.replace(QLatin1Char('\''), QLatin1String("\\'"));
    return options + QStringLiteral(";options='-csearch_path=") + path + QLatin1Char('\'');
}

QString SignalStatement() {
    return QStringLiteral("SELECT pg_catalog.pg_current_snapshot()::text");
}

int TypeCode(const QString& typeName) {
    static const QRegularExpression modifiers(QStringLiteral("\\([^)]*\\)"));
    const QString t = Folded(typeName).remove(modifiers).simplified();
    using namespace DbType;
    if (t.endsWith(QLatin1String("[]")))
        return WChar;
    if (t == QLatin1String("bool") || t == QLatin1String("boolean"))
        return Boolean;
    if (t == QLatin1String("int2") || t == QLatin1String("smallint") ||
        t == QLatin1String("smallserial"))
        return SmallInt;
    if (t == QLatin1String("int4") || t == QLatin1String("integer") || t == QLatin1String("int") ||
        t == QLatin1String("serial"))
        return Integer;
    if (t == QLatin1String("int8") || t == QLatin1String("bigint") ||
        t == QLatin1String("bigserial"))
        return BigInt;
    if (t == QLatin1String("float4") || t == QLatin1String("real"))
        return Single;
    if (t == QLatin1String("float8") || t == QLatin1String("double precision"))
        return Double;
    if (t == QLatin1String("numeric") || t == QLatin1String("decimal"))
        return Numeric;
    if (t == QLatin1String("date"))
        return Date;
    if (t.startsWith(QLatin1String("timestamp")))
        return DbTimeStamp;
    if (t == QLatin1String("time") || t == QLatin1String("time without time zone"))
        return DbTime;
    if (t == QLatin1String("uuid"))
        return Guid;
    if (t == QLatin1String("bytea"))
        return Binary;
    return WChar;
}

bool IsConnectionLostState(const QString& sqlState) {
    // 08: connection exception; 57P01-03: the server shut down or cannot
    // take connections now.
    return sqlState.startsWith(QLatin1String("08")) || sqlState == QLatin1String("57P01") ||
           sqlState == QLatin1String("57P02") || sqlState == QLatin1String("57P03");
}

} // namespace postgres

namespace {

using schema::ReadRows;

QString Restriction(const QVariantList& criteria, int index) {
    return schema::RestrictionText(criteria, index).trimmed();
}

bool CatalogueAllowed(const QVariantList& criteria, int index) {
    return Restriction(criteria, index).isEmpty();
}

QString Filter(const QVariantList& criteria, int schemaIndex, int tableIndex) {
    return postgres::RelationFilter(QStringLiteral("c"), QStringLiteral("n"),
                                    Restriction(criteria, schemaIndex),
                                    Restriction(criteria, tableIndex));
}

// A default as the catalogue writes it ("'nuovo'::character varying") to the value.
QVariant DefaultValue(const QVariant& expression) {
    if (expression.isNull())
        return QVariant();
    static const QRegularExpression quoted(QStringLiteral("^'((?:[^']|'')*)'(?:::[\\w \"]+)?$"));
    const QString text = expression.toString();
    const auto m = quoted.match(text);
    if (m.hasMatch())
        return m.captured(1).replace(QLatin1String("''"), QLatin1String("'"));
    return text;
}

struct Figure {
    QVariant length;    // characters of a character column, 0 without a limit
    QVariant precision; // digits of a numeric(p, s)
    QVariant scale;
};

Figure FiguresOf(int type, unsigned oid, int typmod) {
    Figure f;
    if (type == DbType::WChar)
        f.length = static_cast<int>(
            postgres::DefinedSize(oid, typmod) > 0 ? postgres::DefinedSize(oid, typmod) : 0);
    if (type == DbType::Numeric && typmod >= kIntestazioneTypmod) {
        const int m = typmod - kIntestazioneTypmod;
        f.precision = (m >> 16) & 0xFFFF;
        f.scale = ((m & 0x7FF) ^ 1024) - 1024; // an 11-bit signed scale
    }
    return f;
}

std::unique_ptr<Recordset> ColumnsRowset(Connection& c, const QVariantList& criteria) {
    schema::Shape shape = schema::ColumnsShape();
    shape.emplace_back(QStringLiteral("IS_GENERATED_ALWAYS"), DbType::Boolean);
    RowsetBuilder b(shape);
    if (!CatalogueAllowed(criteria, 0))
        return b.Build();
    for (const auto& r : ReadRows(c, postgres::ColumnsStatement(Filter(criteria, 1, 2)))) {
        if (!schema::RestrictionAllows(Restriction(criteria, 3), r[2]))
            continue;
        const auto oid = r[6].toUInt();
        const int type = postgres::TypeCodeOfOid(oid);
        const Figure f = FiguresOf(type, oid, r[7].toInt());
        const QString identity = r[8].toString();
        const QVariant defaultValue = DefaultValue(r[4]);
        const bool serial = r[4].toString().startsWith(QLatin1String("nextval("));
        const bool always = identity == QLatin1String("a") || r[9].toString() == QLatin1String("s");
        // A moment's fraction digits: the modifier, else microseconds.
        const bool momento = type == DbType::DbTimeStamp || type == DbType::DbTime;
        const QVariant cifre =
            momento ? QVariant(r[7].toInt() >= 0 ? r[7].toInt() : 6) : QVariant();
        b.AddRow({QVariant(), r[0], r[1], r[2], r[3].toInt(), !r[4].isNull() || !identity.isEmpty(),
                  defaultValue, r[5].toBool(), type, f.length, f.precision, f.scale,
                  serial || !identity.isEmpty(), cifre, always});
    }
    return b.Build();
}

std::unique_ptr<Recordset> PrimaryKeysRowset(Connection& c, const QVariantList& criteria) {
    schema::Shape shape = schema::PrimaryKeysShape();
    shape.emplace_back(QStringLiteral("PK_NAME"), DbType::WChar);
    RowsetBuilder b(shape);
    if (!CatalogueAllowed(criteria, 0))
        return b.Build();
    for (const auto& r : ReadRows(c, postgres::PrimaryKeysStatement(Filter(criteria, 1, 2))))
        b.AddRow({QVariant(), r[0], r[1], r[2], r[3].toInt(), r[4]});
    return b.Build();
}

QString Rule(const QVariant& code) {
    const QString text = code.toString();
    switch (text.isEmpty() ? 'a' : text.front().toLatin1()) {
    case 'r':
        return QStringLiteral("RESTRICT");
    case 'c':
        return QStringLiteral("CASCADE");
    case 'n':
        return QStringLiteral("SET NULL");
    case 'd':
        return QStringLiteral("SET DEFAULT");
    default:
        return QStringLiteral("NO ACTION");
    }
}

std::unique_ptr<Recordset> ForeignKeysRowset(Connection& c, const QVariantList& criteria) {
    schema::Shape shape = schema::ForeignKeysShape();
    shape.emplace_back(QStringLiteral("FK_NAME"), DbType::WChar);
    RowsetBuilder b(shape);
    if (!CatalogueAllowed(criteria, 0) || !CatalogueAllowed(criteria, 3))
        return b.Build();
    // A referenced table may live anywhere; the holders are those asked for.
    const bool referencedNamed =
        !Restriction(criteria, 1).isEmpty() || !Restriction(criteria, 2).isEmpty();
    const QString referenced =
        referencedNamed
            ? postgres::RelationFilter(QStringLiteral("pc"), QStringLiteral("pn"),
                                       Restriction(criteria, 1), Restriction(criteria, 2))
            : QStringLiteral("TRUE");
    const QString holder =
        postgres::RelationFilter(QStringLiteral("fc"), QStringLiteral("fn"),
                                 Restriction(criteria, 4), Restriction(criteria, 5));
    for (const auto& r : ReadRows(c, postgres::ForeignKeysStatement(referenced, holder)))
        b.AddRow({QVariant(), r[0], r[1], r[2], QVariant(), r[3], r[4], r[5], r[6].toInt(),
                  Rule(r[7]), Rule(r[8]), r[9]});
    return b.Build();
}

// Only a query that reads goes straight through libpq: a statement run there
// must not be run again by Qt.
bool Reads(const QString& statement) {
    static const QRegularExpression query(QStringLiteral("^\\s*(SELECT|WITH|VALUES|TABLE)\\b"),
                                          QRegularExpression::CaseInsensitiveOption);
    return query.match(statement).hasMatch();
}

} // namespace

void PostgreSqlProvider::Configure(QSqlDatabase& db, const ConnectionSettings& s,
                                   bool /*reconnect*/) const {
    const QString host = s.host.trimmed();
    const QString socket = s.socket.trimmed();
    if (host.isEmpty() && socket.isEmpty())
        TessaroError::Raise(Err::LostConnection,
                            QStringLiteral("The connection string names no server."));
    // libpq takes a host that starts with "/" as the folder of the server's socket.
    db.setHostName(socket.isEmpty() ? host : socket);
    if (s.port > 0)
        db.setPort(s.port);
    db.setDatabaseName(s.database);
    db.setUserName(s.user);
    db.setPassword(s.password);
    db.setConnectOptions(postgres::ConnectOptions(s.searchPath));
}

std::unique_ptr<Recordset> PostgreSqlProvider::OpenSchema(Connection& c, int queryType,
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

bool PostgreSqlProvider::IsConnectionLost(const QSqlError& error) const {
    return error.type() == QSqlError::ConnectionError || mLettore.Broken() ||
           postgres::IsConnectionLostState(error.nativeErrorCode());
}

Refusal PostgreSqlProvider::RefusalOf(const QSqlError& error) const {
    // SQLSTATE: unique violation, foreign key violation, then the data
    // exceptions (a value too long, out of range or not of the column's type).
    const QString state = error.nativeErrorCode();
    if (state == QLatin1String("23505"))
        return Refusal::Duplicate;
    if (state == QLatin1String("23503"))
        return Refusal::Reference;
    return state.startsWith(QLatin1String("22")) ? Refusal::NotStored : Refusal::Other;
}

bool PostgreSqlProvider::IsBusy(const QSqlError& error) const {
    // Lock wait over, deadlock, serialization failure.
    const QString state = error.nativeErrorCode();
    return state == QLatin1String("55P03") || state == QLatin1String("40P01") ||
           state == QLatin1String("40001");
}

QVariant PostgreSqlProvider::LastInsertId(const Connection& /*c*/,
                                          const QVariant& fromQuery) const {
    return fromQuery.isNull() ? QVariant() : fromQuery;
}

int PostgreSqlProvider::TypeCode(const QString& declaredType) const {
    return postgres::TypeCode(declaredType);
}

void PostgreSqlProvider::DescribeColumns(const Connection& /*c*/, const QSqlRecord& record,
                                         std::vector<RecordsetColumn>& columns) const {
    // QPSQL gives the type's OID as the field's type id, and n as the length
    // of a varchar(n).
    for (int i = 0; i < record.count() && i < static_cast<int>(columns.size()); ++i) {
        const QSqlField f = record.field(i);
        RecordsetColumn& col = columns[static_cast<std::size_t>(i)];
        const auto oid = static_cast<unsigned>(f.typeID());
        col.type = postgres::TypeCodeOfOid(oid);
        col.definedSize = col.type == DbType::WChar ? std::max<long>(f.length(), 0)
                                                    : postgres::DefinedSize(oid, -1);
    }
}

bool PostgreSqlProvider::ReadDirect(Connection& c, const QString& statement,
                                    const QVariantList& values, std::size_t /*expectedRows*/,
                                    std::vector<RecordsetColumn>& columns) const {
    if (!mLettore.Conn() || !values.isEmpty() || !Reads(statement))
        return false;
    QSqlError error;
    if (!mLettore.ReadAll(statement, columns, error))
        c.RaiseFromError(error, statement);
    return true;
}

std::optional<ChangeSignal> PostgreSqlProvider::Signal(const Connection& /*c*/,
                                                       const QStringList& /*tables*/) const {
    std::vector<RecordsetColumn> columns;
    QSqlError error;
    if (!mLettore.Conn() || !mLettore.ReadAll(postgres::SignalStatement(), columns, error) ||
        columns.empty() || columns.front().Size() != 1)
        return std::nullopt;
    const QString snapshot = ValueToText(columns.front().At(0));
    return ChangeSignal{.rows = snapshot, .content = snapshot, .others = QString()};
}

bool PostgreSqlProvider::InTransaction(const Connection& /*c*/) const {
    return mLettore.InTransaction();
}

void PostgreSqlProvider::Opened(const QSqlDatabase& db, const ConnectionSettings& /*s*/) {
    mLettore.Use(postgres::Handle(db));
    QSqlQuery q(db);
    q.exec(QStringLiteral("SET standard_conforming_strings = on"));
    q.exec(QStringLiteral("SET DateStyle = ISO, YMD"));
    q.exec(QStringLiteral("SET lock_timeout = %1").arg(kLockTimeoutMs));
    // Moments with a time zone are written and read in the user's own; a zone
    // the server does not know leaves its default, and values are still read
    // back to local time.
    const QString zone = QString::fromUtf8(QTimeZone::systemTimeZoneId());
    if (!zone.isEmpty())
        q.exec(QStringLiteral("SET TimeZone = ") + postgres::Literal(zone));
}

void PostgreSqlProvider::Closing() {
    mLettore.Use(nullptr);
}

QStringList PostgreSqlProvider::CountingSession() const {
    // A count over a large table would otherwise be compiled first.
    return {QStringLiteral("SET jit = off")};
}

} // namespace tessaro

#include "platform/SqliteDirect.h"

#include "platform/SqliteProvider.h"

#include <QSqlDriver>
#include <sqlite3.h>

namespace tessaro::sqlite {

namespace {

// Finalizes the statement however the reading ends.
class Statement {
public:
    Statement() = default;
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    ~Statement() { sqlite3_finalize(mStmt); }
    sqlite3_stmt** Out() { return &mStmt; }
    sqlite3_stmt* Get() const { return mStmt; }

private:
    sqlite3_stmt* mStmt = nullptr;
};

QString Text16(const void* text) {
    return text ? QString::fromUtf16(static_cast<const char16_t*>(text)) : QString();
}

// Qt refuses a text that holds more than one statement; only blanks may follow.
bool OnlyBlanksAfter(const QString& sql, const void* tail) {
    if (!tail)
        return true;
    const auto* end = reinterpret_cast<const char16_t*>(sql.utf16()) + sql.size();
    const auto* rest = static_cast<const char16_t*>(tail);
    return QStringView(rest, end - rest).trimmed().isEmpty();
}

// The type Qt's driver gives a column without a table: from the declared type
// when there is one, else from the column's first value.
QMetaType QtFieldType(const QString& declared, int firstValueType) {
    if (!declared.isEmpty()) {
        const QString t = declared.toLower();
        if (t == QLatin1String("integer") || t == QLatin1String("int"))
            return QMetaType(QMetaType::Int);
        if (t == QLatin1String("double") || t == QLatin1String("float") ||
            t == QLatin1String("real") || t.startsWith(QLatin1String("numeric")))
            return QMetaType(QMetaType::Double);
        if (t == QLatin1String("blob"))
            return QMetaType(QMetaType::QByteArray);
        if (t == QLatin1String("boolean") || t == QLatin1String("bool"))
            return QMetaType(QMetaType::Bool);
        return QMetaType(QMetaType::QString);
    }
    switch (firstValueType) {
    case SQLITE_INTEGER:
        return QMetaType(QMetaType::Int);
    case SQLITE_FLOAT:
        return QMetaType(QMetaType::Double);
    case SQLITE_BLOB:
        return QMetaType(QMetaType::QByteArray);
    case SQLITE_TEXT:
        return QMetaType(QMetaType::QString);
    default:
        return QMetaType();
    }
}

// Names and origin tables; false for a table column read under another name,
// whose description the catalogue lookup of the Qt path decides.
bool NameColumns(sqlite3_stmt* st, std::vector<RecordsetColumn>& columns) {
    const int n = sqlite3_column_count(st);
    columns.assign(static_cast<std::size_t>(n), RecordsetColumn());
    for (int i = 0; i < n; ++i) {
        RecordsetColumn& c = columns[static_cast<std::size_t>(i)];
        c.name = Text16(sqlite3_column_name16(st, i)).remove(QLatin1Char('"'));
        c.table = Text16(sqlite3_column_table_name16(st, i));
        if (!c.table.isEmpty() &&
            c.name.compare(Text16(sqlite3_column_origin_name16(st, i)), Qt::CaseInsensitive) != 0)
            return false;
    }
    return true;
}

// The values as Qt's driver converts them: whole numbers, reals, text, blobs, Null.
void AppendValue(sqlite3_stmt* st, int i, RecordsetColumn& c) {
    switch (sqlite3_column_type(st, i)) {
    case SQLITE_INTEGER: {
        const qint64 v = sqlite3_column_int64(st, i);
        if (c.packedIntegers)
            c.integers.push_back(v);
        else
            c.variants.emplace_back(v);
        return;
    }
    case SQLITE_FLOAT:
        c.Append(QVariant(sqlite3_column_double(st, i)));
        return;
    case SQLITE_NULL:
        c.Append(QVariant());
        return;
    case SQLITE_BLOB: {
        const auto* data = static_cast<const char*>(sqlite3_column_blob(st, i));
        c.Append(QVariant(QByteArray(data, sqlite3_column_bytes(st, i))));
        return;
    }
    default: {
        const auto* text = static_cast<const QChar*>(sqlite3_column_text16(st, i));
        c.Append(QVariant(QString(text, sqlite3_column_bytes16(st, i) / 2)));
        return;
    }
    }
}

// Type code and size: a table column's from its declared type, as the
// catalogue gives them; any other column's from the type Qt would report.
void DescribeColumn(sqlite3_stmt* st, int i, int firstValueType, RecordsetColumn& c) {
    const QString declared = Text16(sqlite3_column_decltype16(st, i));
    if (!c.table.isEmpty()) {
        c.type = sqlite::TypeCode(declared);
        c.definedSize = sqlite::TextLength(declared).value_or(DbProvider::DefaultSize(c.type));
        return;
    }
    c.type = DbProvider::TypeCodeOf(QtFieldType(declared, firstValueType));
    c.definedSize = DbProvider::DefaultSize(c.type);
}

bool StepAll(sqlite3_stmt* st, std::vector<RecordsetColumn>& columns) {
    const int n = static_cast<int>(columns.size());
    std::vector<int> firstTypes(columns.size(), SQLITE_NULL - 100);
    int rc = sqlite3_step(st);
    if (rc == SQLITE_ROW) {
        for (int i = 0; i < n; ++i)
            firstTypes[static_cast<std::size_t>(i)] = sqlite3_column_type(st, i);
    }
    for (; rc == SQLITE_ROW; rc = sqlite3_step(st)) {
        for (int i = 0; i < n; ++i)
            AppendValue(st, i, columns[static_cast<std::size_t>(i)]);
    }
    if (rc != SQLITE_DONE)
        return false;
    for (int i = 0; i < n; ++i)
        DescribeColumn(st, i, firstTypes[static_cast<std::size_t>(i)],
                       columns[static_cast<std::size_t>(i)]);
    return true;
}

} // namespace

sqlite3* Handle(const QSqlDatabase& db) {
    const QSqlDriver* driver = db.driver();
    if (!driver || !db.isOpen())
        return nullptr;
    const QVariant v = driver->handle();
    if (!v.isValid() || qstrcmp(v.typeName(), "sqlite3*") != 0)
        return nullptr;
    return *static_cast<sqlite3* const*>(v.constData());
}

std::optional<QString> DataVersion(sqlite3* db) {
    Statement st;
    if (sqlite3_prepare_v2(db, "PRAGMA data_version", -1, st.Out(), nullptr) != SQLITE_OK ||
        sqlite3_step(st.Get()) != SQLITE_ROW)
        return std::nullopt;
    return QStringLiteral("%1:%2")
        .arg(sqlite3_column_int64(st.Get(), 0))
        .arg(sqlite3_total_changes64(db));
}

bool ReadAll(sqlite3* db, const QString& sql, std::vector<RecordsetColumn>& columns) {
    Statement st;
    const void* tail = nullptr;
    if (sqlite3_prepare16_v2(db, sql.utf16(), static_cast<int>(sql.size() * sizeof(char16_t)),
                             st.Out(), &tail) != SQLITE_OK ||
        !st.Get() || !OnlyBlanksAfter(sql, tail) || !sqlite3_stmt_readonly(st.Get()) ||
        sqlite3_column_count(st.Get()) == 0)
        return false;
    if (!NameColumns(st.Get(), columns) || !StepAll(st.Get(), columns)) {
        columns.clear();
        return false;
    }
    return true;
}

} // namespace tessaro::sqlite

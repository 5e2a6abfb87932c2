#include "data/SqliteDirect.h"

#include "data/SqliteProvider.h"
#include "data/TessaroError.h"

#include <QSqlDriver>
#include <cstring>
#include <map>
#include <sqlite3.h>
#include <string>

namespace tessaro::sqlite {

namespace {

constexpr std::size_t kKeptStatements = 12;

// Qt refuses a text that holds more than one statement; only blanks may follow.
bool OnlyBlanksAfter(const QString& sql, const void* tail) {
    if (!tail)
        return true;
    const auto* end = reinterpret_cast<const char16_t*>(sql.utf16()) + sql.size();
    const auto* rest = static_cast<const char16_t*>(tail);
    return QStringView(rest, end - rest).trimmed().isEmpty();
}

// Takes a statement for one use and gives it back (or finalizes it) at the end.
class Lease {
public:
    Lease(Statements& s, const QString& sql) : mStatements(s), mSql(sql), mSt(s.Take(sql)) {}
    Lease(const Lease&) = delete;
    Lease& operator=(const Lease&) = delete;
    ~Lease() {
        if (!mSt)
            return;
        if (mFailed)
            sqlite3_finalize(mSt);
        else
            mStatements.Give(mSql, mSt);
    }
    sqlite3_stmt* Get() const { return mSt; }
    void Failed() { mFailed = true; }

private:
    Statements& mStatements;
    const QString& mSql;
    sqlite3_stmt* mSt;
    bool mFailed = false;
};

QString Utf8(const char* text) {
    return text ? QString::fromUtf8(text) : QString();
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

// What a declared type says, worked out once per distinct text.
struct Declared {
    int typeCode; // as the catalogue reads it, for table columns
    long size;
    QString text; // for the Qt rule of expression columns
};

const Declared& DeclaredType(const char* declared) {
    thread_local std::map<std::string, Declared, std::less<>> known;
    const std::string_view key = declared ? declared : "";
    const auto it = known.find(key);
    if (it != known.end())
        return it->second;
    const QString text = QString::fromUtf8(key.data(), static_cast<qsizetype>(key.size()));
    const int code = sqlite::TypeCode(text);
    const long size = sqlite::TextLength(text).value_or(DbProvider::DefaultSize(code));
    return known.emplace(std::string(key), Declared{code, size, text}).first->second;
}

// A result column's name as Qt's driver gives it.
QString ColumnName(sqlite3_stmt* st, int i) {
    const char* name = sqlite3_column_name(st, i);
    QString nome = Utf8(name);
    if (std::strchr(name ? name : "", '"'))
        nome.remove(QLatin1Char('"'));
    return nome;
}

// Whether the statement still gives the columns named before its first step: a
// statement kept across another connection's change of the table is prepared
// again by that step, and "*" may then stand for other columns.
bool SameColumns(sqlite3_stmt* st, const std::vector<RecordsetColumn>& columns) {
    if (sqlite3_column_count(st) != static_cast<int>(columns.size()))
        return false;
    for (std::size_t i = 0; i < columns.size(); ++i)
        if (ColumnName(st, static_cast<int>(i)) != columns[i].name)
            return false;
    return true;
}

// Names and origin tables; false for a table column read under another name,
// whose description the catalogue lookup of the Qt path decides.
bool NameColumns(sqlite3_stmt* st, std::vector<RecordsetColumn>& columns) {
    const int n = sqlite3_column_count(st);
    columns.assign(static_cast<std::size_t>(n), RecordsetColumn());
    for (int i = 0; i < n; ++i) {
        RecordsetColumn& c = columns[static_cast<std::size_t>(i)];
        const char* name = sqlite3_column_name(st, i);
        c.name = ColumnName(st, i);
        c.table = Utf8(sqlite3_column_table_name(st, i));
        if (c.table.isEmpty())
            continue;
        const char* origin = sqlite3_column_origin_name(st, i);
        if ((!name || !origin || std::strcmp(name, origin) != 0) &&
            c.name.compare(Utf8(origin), Qt::CaseInsensitive) != 0)
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
    const Declared& declared = DeclaredType(sqlite3_column_decltype(st, i));
    if (!c.table.isEmpty()) {
        c.type = declared.typeCode;
        c.definedSize = declared.size;
        return;
    }
    c.type = DbProvider::TypeCodeOf(QtFieldType(declared.text, firstValueType));
    c.definedSize = DbProvider::DefaultSize(c.type);
}

constexpr int kNoValue = -1;

// Values bound as Qt's driver binds them: whole numbers, reals, Null, else text.
bool Bind(sqlite3_stmt* st, const QVariantList& values) {
    if (sqlite3_bind_parameter_count(st) != values.size())
        return false;
    for (int i = 0; i < values.size(); ++i) {
        const QVariant& v = values[i];
        int rc = SQLITE_OK;
        switch (v.isNull() ? QMetaType::UnknownType : v.typeId()) {
        case QMetaType::UnknownType:
            rc = sqlite3_bind_null(st, i + 1);
            break;
        case QMetaType::Int:
        case QMetaType::LongLong:
        case QMetaType::UInt:
        case QMetaType::Bool:
            rc = sqlite3_bind_int64(st, i + 1, v.toLongLong());
            break;
        case QMetaType::Double:
            rc = sqlite3_bind_double(st, i + 1, v.toDouble());
            break;
        case QMetaType::QString: {
            const QString text = v.toString();
            rc = sqlite3_bind_text16(st, i + 1, text.utf16(),
                                     static_cast<int>(text.size() * sizeof(char16_t)),
                                     SQLITE_TRANSIENT);
            break;
        }
        default: // blobs, unsigned 64-bit and the rest: as Qt binds them
            return false;
        }
        if (rc != SQLITE_OK)
            return false;
    }
    return true;
}

bool Refuse(Lease& st, std::vector<RecordsetColumn>& columns) {
    st.Failed();
    columns.clear();
    return false;
}

bool StepAll(sqlite3_stmt* st, std::vector<RecordsetColumn>& columns) {
    const int n = static_cast<int>(columns.size());
    std::vector<int> firstTypes(columns.size(), kNoValue);
    int rc = sqlite3_step(st);
    if ((rc == SQLITE_ROW || rc == SQLITE_DONE) && !SameColumns(st, columns))
        return false;
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

void Statements::Use(sqlite3* db, int busyTimeoutMs) {
    for (const Kept& k : mKept)
        sqlite3_finalize(k.st);
    mKept.clear();
    mDb = db;
    mBusyTimeoutMs = busyTimeoutMs;
}

sqlite3_stmt* Statements::Take(const QString& sql) {
    for (auto it = mKept.begin(); it != mKept.end(); ++it) {
        if (it->sql == sql) {
            sqlite3_stmt* st = it->st;
            mKept.erase(it);
            return st;
        }
    }
    if (!mDb)
        return nullptr;
    sqlite3_stmt* st = nullptr;
    const void* tail = nullptr;
    if (sqlite3_prepare16_v2(mDb, sql.utf16(), static_cast<int>(sql.size() * sizeof(char16_t)), &st,
                             &tail) != SQLITE_OK ||
        !st || !OnlyBlanksAfter(sql, tail)) {
        sqlite3_finalize(st);
        return nullptr;
    }
    return st;
}

void Statements::Give(const QString& sql, sqlite3_stmt* st) {
    sqlite3_reset(st);
    mKept.insert(mKept.begin(), Kept{sql, st});
    if (mKept.size() > kKeptStatements) {
        sqlite3_finalize(mKept.back().st);
        mKept.pop_back();
    }
}

bool IsBusyCode(int code) {
    const int primary = code & 0xFF;
    return primary == SQLITE_BUSY || primary == SQLITE_LOCKED;
}

std::optional<Versione> DataVersion(Statements& statements) {
    // Inside a transaction the rows read may still be rolled back, which no
    // counter records: no version then, so nothing read is trusted later.
    if (sqlite3_get_autocommit(statements.Db()) == 0)
        return std::nullopt;
    static const QString pragma = QStringLiteral("PRAGMA data_version");
    Lease st(statements, pragma);
    // A hint never waits for another user's lock: the read it would spare
    // waits once, and reports the busy database.
    sqlite3_busy_timeout(statements.Db(), 0);
    const bool letta = st.Get() && sqlite3_step(st.Get()) == SQLITE_ROW;
    sqlite3_busy_timeout(statements.Db(), statements.BusyTimeoutMs());
    if (!letta) {
        st.Failed();
        return std::nullopt;
    }
    const QString others = QString::number(sqlite3_column_int64(st.Get(), 0));
    return Versione{others, others + QLatin1Char(':') +
                                QString::number(sqlite3_total_changes64(statements.Db()))};
}

bool ReadAll(Statements& statements, const QString& sql, const QVariantList& values,
             std::size_t expectedRows, std::vector<RecordsetColumn>& columns) {
    Lease st(statements, sql);
    if (!st.Get())
        return false;
    if (!sqlite3_stmt_readonly(st.Get()) || sqlite3_column_count(st.Get()) == 0 ||
        !Bind(st.Get(), values)) {
        st.Failed(); // Qt runs it; nothing to keep
        return false;
    }
    if (!NameColumns(st.Get(), columns))
        return Refuse(st, columns);
    if (expectedRows > 0) {
        for (auto& c : columns)
            c.integers.reserve(expectedRows + expectedRows / 32 + 16);
    }
    if (StepAll(st.Get(), columns))
        return true;
    // Qt would only wait for the same lock again: a busy database is reported here.
    const bool busy = IsBusyCode(sqlite3_errcode(statements.Db()));
    Refuse(st, columns);
    if (busy)
        throw TessaroError(Err::Timeout, QString::fromUtf8(sqlite3_errmsg(statements.Db())), sql);
    return false;
}

} // namespace tessaro::sqlite

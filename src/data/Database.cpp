#include "data/Database.h"

#include "data/MySqlProvider.h"
#include "data/PostgreSqlProvider.h"
#include "data/SqliteProvider.h"
#include "data/TessaroError.h"
#include "data/Values.h"

#include <QHash>
#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QUuid>
#include <algorithm>
#include <optional>

namespace tessaro {

namespace {

QString ClosedRecordsetText() {
    return QStringLiteral("Operation is not allowed when the object is closed.");
}

[[noreturn]] void RaiseItemNotFound(const QString& what) {
    TessaroError::Raise(Err::ItemNotFound,
                        QStringLiteral("Item cannot be found in the collection corresponding to "
                                       "the requested name or ordinal: ") +
                            what);
}

[[noreturn]] void RaiseWrongArguments(const QString& detail) {
    TessaroError::Raise(Err::WrongArguments,
                        QStringLiteral("Arguments are of the wrong type, are out of acceptable "
                                       "range, or are in conflict with one another: ") +
                            detail);
}

QString Unquoted(const QString& value) {
    if (value.size() >= 2) {
        const QChar first = value.front();
        if ((first == QLatin1Char('"') || first == QLatin1Char('\'')) && value.back() == first)
            return value.mid(1, value.size() - 2);
    }
    return value;
}

QString NormalisedProvider(const QString& name) {
    const QString n = name.trimmed().toLower();
    if (n == QLatin1String("sqlite") || n == QLatin1String("qsqlite") ||
        n == QLatin1String("sqlite3"))
        return QStringLiteral("SQLite");
    if (n == QLatin1String("mysql") || n == QLatin1String("mariadb") ||
        n == QLatin1String("qmysql"))
        return QStringLiteral("MySQL");
    if (n == QLatin1String("postgresql") || n == QLatin1String("postgres") ||
        n == QLatin1String("qpsql") || n == QLatin1String("pgsql"))
        return QStringLiteral("PostgreSQL");
    return name.trimmed();
}

bool IsIntegerType(int typeId) {
    switch (typeId) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::Short:
    case QMetaType::SChar:
    case QMetaType::Long:
    case QMetaType::UInt:
    case QMetaType::UShort:
    case QMetaType::UChar:
    case QMetaType::ULong:
        return true;
    default:
        return false;
    }
}

bool IsNumericValue(const QVariant& v) {
    const int id = v.typeId();
    return IsIntegerType(id) || id == QMetaType::ULongLong || id == QMetaType::Double ||
           id == QMetaType::Float || id == QMetaType::Bool;
}

// One parsed Find criterion: column = 'text' or column = number.
struct FindCriterion {
    QString column;
    QString text;      // the value as written (quotes removed, '' undoubled)
    QString canonical; // for a bare number: the text ValueToText gives that number
    bool quoted = false;
    std::optional<qint64> integer; // the number a cell of whole numbers must hold
};

std::optional<QString> QuotedValue(const QString& value) {
    QString out;
    qsizetype i = 1;
    for (; i < value.size(); ++i) {
        const QChar ch = value.at(i);
        if (ch != QLatin1Char('\'')) {
            out += ch;
            continue;
        }
        if (i + 1 < value.size() && value.at(i + 1) == QLatin1Char('\'')) {
            out += ch;
            ++i;
            continue;
        }
        break;
    }
    if (i >= value.size() || !value.mid(i + 1).trimmed().isEmpty())
        return std::nullopt; // unterminated, or text after the closing quote
    return out;
}

// The number whose text this is, when ValueToText would give exactly this text.
std::optional<qint64> IntegerWithText(const QString& text) {
    bool ok = false;
    const qint64 n = text.toLongLong(&ok);
    if (!ok || QString::number(n) != text)
        return std::nullopt;
    return n;
}

QString CanonicalNumber(const QString& text) {
    if (IsWholeNumber(text)) {
        bool ok = false;
        const qint64 n = text.trimmed().toLongLong(&ok);
        if (ok)
            return QString::number(n);
    }
    return ValueToText(QVariant(NumericValue(text).value_or(0.0)));
}

std::optional<FindCriterion> ParseCriterion(const QString& criteria) {
    const qsizetype eq = criteria.indexOf(QLatin1Char('='));
    if (eq < 0)
        return std::nullopt;
    FindCriterion c;
    c.column = criteria.left(eq).trimmed();
    if (c.column.startsWith(QLatin1Char('[')) && c.column.endsWith(QLatin1Char(']')))
        c.column = c.column.mid(1, c.column.size() - 2);
    static const QString forbidden = QStringLiteral("<>!'=");
    if (c.column.isEmpty() || std::any_of(c.column.begin(), c.column.end(),
                                          [](QChar ch) { return forbidden.contains(ch); }))
        return std::nullopt;
    const QString value = criteria.mid(eq + 1).trimmed();
    if (value.startsWith(QLatin1Char('\''))) {
        const auto text = QuotedValue(value);
        if (!text)
            return std::nullopt;
        c.text = *text;
        c.quoted = true;
        c.integer = IntegerWithText(c.text);
        return c;
    }
    if (!IsNumeric(value))
        return std::nullopt;
    c.text = value;
    c.canonical = CanonicalNumber(value);
    c.integer = IntegerWithText(c.canonical);
    return c;
}

quint64 TextKey(const QString& text) {
    return static_cast<quint64>(qHash(text));
}

// A quoted value matches the text of the cell; a bare number matches a numeric
// cell by value and a text cell by the text written. Null matches nothing.
bool CellMatches(const RecordsetColumn& c, qint64 row, const FindCriterion& f) {
    const auto r = static_cast<std::size_t>(row);
    if (c.packedIntegers)
        return f.integer && c.integers[r] == *f.integer;
    const QVariant& v = c.variants[r];
    if (v.isNull())
        return false;
    const QString text = ValueToText(v);
    if (f.quoted)
        return text == f.text;
    return IsNumericValue(v) ? text == f.canonical : text == f.text;
}

// Index keys under which a matching cell can be filed.
std::vector<quint64> KeysOf(const RecordsetColumn& c, const FindCriterion& f) {
    if (c.packedIntegers)
        return f.integer ? std::vector<quint64>{static_cast<quint64>(*f.integer)}
                         : std::vector<quint64>{};
    std::vector<quint64> keys{TextKey(f.text)};
    if (!f.quoted && f.canonical != f.text)
        keys.push_back(TextKey(f.canonical));
    return keys;
}

std::optional<qint64> ScanColumn(const RecordsetColumn& c, const FindCriterion& f, qint64 from,
                                 bool forward) {
    const auto rows = static_cast<qint64>(c.Size());
    if (forward) {
        for (qint64 r = std::max<qint64>(from, 0); r < rows; ++r) {
            if (CellMatches(c, r, f))
                return r;
        }
    } else {
        for (qint64 r = std::min(from, rows - 1); r >= 0; --r) {
            if (CellMatches(c, r, f))
                return r;
        }
    }
    return std::nullopt;
}

// The key a row is filed under: the number of a packed cell, the hash of the
// text of any other; Null is not filed.
std::optional<quint64> RowKey(const RecordsetColumn& c, std::size_t row) {
    if (c.packedIntegers)
        return static_cast<quint64>(c.integers[row]);
    if (c.variants[row].isNull())
        return std::nullopt;
    return TextKey(ValueToText(c.variants[row]));
}

// Rows of one column in an open-addressing table of 32-bit row numbers, placed
// by a mix of their key: 4 bytes a slot and 5 slots for every 3 rows, so a
// list of a million keys costs under 7 MB. A lookup visits the cluster around
// its key's slot; CellMatches decides which of those rows match.
class RowTable {
public:
    static bool Fits(std::size_t rows) { return rows < 0xFFFFFFFFu; }

    explicit RowTable(const RecordsetColumn& c)
        : mSlots(std::max<std::size_t>(8, c.Size() + c.Size() * 2 / 3), 0) {
        for (std::size_t r = 0; r < c.Size(); ++r) {
            const auto key = RowKey(c, r);
            if (!key)
                continue;
            std::size_t s = SlotOf(*key);
            while (mSlots[s] != 0)
                s = Next(s);
            mSlots[s] = static_cast<quint32>(r + 1);
        }
    }

    // Calls fn(row) for every row that may be filed under key.
    template <typename F> void Candidates(quint64 key, F&& fn) const {
        for (std::size_t s = SlotOf(key); mSlots[s] != 0; s = Next(s))
            fn(static_cast<qint64>(mSlots[s] - 1));
    }

    std::size_t Bytes() const { return mSlots.capacity() * sizeof(quint32); }

private:
    static quint64 Mix(quint64 k) {
        k ^= k >> 33;
        k *= 0xff51afd7ed558ccdULL;
        k ^= k >> 33;
        k *= 0xc4ceb9fe1a85ec53ULL;
        k ^= k >> 33;
        return k;
    }
    // The high bits of a 64 x 64-bit product map the mix onto the table without a division.
    // (__extension__: a 128-bit integer is a GCC and Clang extension.)
    __extension__ typedef unsigned __int128 Prodotto;
    std::size_t SlotOf(quint64 key) const {
        return static_cast<std::size_t>((static_cast<Prodotto>(Mix(key)) * mSlots.size()) >> 64);
    }
    std::size_t Next(std::size_t s) const { return s + 1 == mSlots.size() ? 0 : s + 1; }

    std::vector<quint32> mSlots; // row + 1; 0 is an empty slot
};

std::optional<qint64> LookUp(const RowTable& table, const RecordsetColumn& c,
                             const FindCriterion& f, qint64 from, bool forward) {
    std::optional<qint64> best;
    for (const quint64 key : KeysOf(c, f)) {
        table.Candidates(key, [&](qint64 row) {
            if ((forward ? row < from : row > from) || !CellMatches(c, row, f))
                return;
            if (!best || (forward ? row < *best : row > *best))
                best = row;
        });
    }
    return best;
}

// Reads a statement through Qt into columns; false when it returns no rows.
bool ReadThroughQt(Connection& c, const QString& source, const QVariantList& values,
                   std::vector<RecordsetColumn>& columns) {
    QSqlRecord record;
    QSqlError error;
    bool returnsRows = false;
    {
        QSqlQuery q(c.Database());
        q.setForwardOnly(true);
        bool done = false;
        if (values.isEmpty()) {
            done = q.exec(source);
        } else if (q.prepare(source)) {
            for (const QVariant& v : values)
                q.addBindValue(v);
            done = q.exec();
        }
        if (done) {
            returnsRows = q.isSelect();
            record = q.record();
            columns.resize(static_cast<std::size_t>(record.count()));
            for (int i = 0; i < record.count(); ++i) {
                columns[i].name = record.fieldName(i);
                columns[i].table = record.field(i).tableName();
            }
            while (q.next()) {
                for (int i = 0; i < record.count(); ++i)
                    columns[i].Append(q.value(i));
            }
        }
        error = q.lastError();
    }
    if (error.isValid())
        c.RaiseFromError(error, source);
    if (returnsRows)
        c.Provider().DescribeColumns(c, record, columns);
    return returnsRows;
}

// A column the statement gave no type takes its first value's.
void TypeFromValues(RecordsetColumn& c) {
    c.type = DbType::WChar;
    for (std::size_t r = 0; r < c.Size(); ++r) {
        if (!c.IsNull(r)) {
            const int t = DbProvider::TypeCodeOf(c.At(r).metaType());
            c.type = t != 0 ? t : DbType::WChar;
            break;
        }
    }
    c.definedSize = DbProvider::DefaultSize(c.type);
}

} // namespace

// ---------------------------------------------------------------------------
// ConnectionSettings

ConnectionSettings ConnectionSettings::Parse(const QString& connectionString) {
    ConnectionSettings s;
    QString dataSource;
    for (const QString& part : connectionString.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const qsizetype eq = part.indexOf(QLatin1Char('='));
        if (eq < 0)
            continue;
        const QString key = part.left(eq).trimmed().toLower();
        const QString value = Unquoted(part.mid(eq + 1).trimmed());
        if (key == QLatin1String("provider") || key == QLatin1String("driver"))
            s.provider = NormalisedProvider(value);
        else if (key == QLatin1String("data source"))
            dataSource = value;
        else if (key == QLatin1String("database"))
            s.database = value;
        else if (key == QLatin1String("server") || key == QLatin1String("host"))
            s.host = value;
        else if (key == QLatin1String("port"))
            s.port = value.toInt();
        else if (key == QLatin1String("socket"))
            s.socket = value;
        else if (key == QLatin1String("user") || key == QLatin1String("user id") ||
                 key == QLatin1String("uid"))
            s.user = value;
        else if (key == QLatin1String("password") || key == QLatin1String("pwd"))
            s.password = value;
        else if (key == QLatin1String("busy timeout"))
            s.busyTimeoutMs = std::max(0, value.toInt());
        else if (key == QLatin1String("search path"))
            s.searchPath = value;
    }
    s.dataSource = dataSource;
    // An embedded database is one file: "Database" names it as well as "Data Source".
    if (s.provider == QLatin1String("SQLite") && s.dataSource.isEmpty())
        s.dataSource = s.database;
    return s;
}

// ---------------------------------------------------------------------------
// Connection

Connection::Connection()
    : mQtName(QStringLiteral("tessaro-") + QUuid::createUuid().toString(QUuid::WithoutBraces)) {}

Connection::~Connection() {
    DropQtConnection();
}

void Connection::Open(const QString& connectionString, const QString& user, const QString& password,
                      int /*options*/) {
    const bool reconnect = connectionString.trimmed().isEmpty();
    if (reconnect && !mProvider)
        TessaroError::Raise(
            Err::LostConnection,
            QStringLiteral("No connection string has been given to reconnect with."));
    if (reconnect) {
        Close();
        Adopt(QString(), user, password);
    } else {
        Adopt(connectionString, user, password);
    }
    OpenQtConnection(reconnect);
}

void Connection::OpenExisting(const QString& connectionString, const QString& user,
                              const QString& password) {
    Adopt(connectionString, user, password);
    OpenQtConnection(true);
}

// Takes the settings of a connection string (none: keeps those held) and the
// credentials given, closing what was open.
void Connection::Adopt(const QString& connectionString, const QString& user,
                       const QString& password) {
    if (!connectionString.trimmed().isEmpty()) {
        ConnectionSettings settings = ConnectionSettings::Parse(connectionString);
        auto provider = DbProvider::Create(settings.provider);
        Close();
        mSettings = settings;
        mProvider = std::move(provider);
        mConnectionString = connectionString;
    }
    if (!user.isEmpty())
        mSettings.user = user;
    if (!password.isEmpty())
        mSettings.password = password;
}

void Connection::OpenQtConnection(bool mustExist) {
    DropQtConnection();
    QString failure;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(mProvider->QtDriver(), mQtName);
        if (!db.isValid()) {
            failure = db.lastError().text();
            if (failure.trimmed().isEmpty())
                failure = QStringLiteral("The database driver %1 is not available.")
                              .arg(mProvider->QtDriver());
        } else {
            mProvider->Configure(db, mSettings, mustExist);
            if (!db.open())
                failure = db.lastError().text();
        }
    }
    if (!failure.isNull()) {
        DropQtConnection();
        TessaroError::Raise(Err::LostConnection, failure);
    }
    mProvider->Opened(QSqlDatabase::database(mQtName, false), mSettings);
    mOpen = true;
    ++mOpenings;
    mLastInsertId = QVariant();
}

void Connection::DropQtConnection() {
    if (!QSqlDatabase::contains(mQtName))
        return;
    if (mProvider)
        mProvider->Closing();
    {
        QSqlDatabase db = QSqlDatabase::database(mQtName, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(mQtName);
}

void Connection::Close() {
    DropQtConnection();
    mOpen = false;
}

int Connection::State() const {
    return mOpen ? adStateOpen : adStateClosed;
}

void Connection::RequireOpen() const {
    if (!mOpen)
        TessaroError::Raise(Err::LostConnection,
                            QStringLiteral("The connection to the database is closed."));
}

QSqlDatabase Connection::Database() const {
    RequireOpen();
    return QSqlDatabase::database(mQtName, false);
}

int Connection::TipoDatabase() const {
    return Provider().TipoDatabase();
}

bool Connection::TableNamesIgnoreCase() const {
    return Provider().TableNamesIgnoreCase();
}

DbProvider& Connection::Provider() const {
    if (!mProvider)
        TessaroError::Raise(Err::LostConnection,
                            QStringLiteral("The connection has never been opened."));
    return *mProvider;
}

void Connection::Execute(const QString& commandText, qint64* recordsAffected, int /*options*/) {
    RequireOpen();
    QSqlError error;
    {
        QSqlQuery q(Database());
        if (q.exec(commandText)) {
            if (recordsAffected)
                *recordsAffected = q.numRowsAffected();
            // An INSERT ... RETURNING gives the key back as a row.
            if (q.isSelect() && q.next())
                mLastInsertId = q.value(0);
            else
                mLastInsertId = mProvider->DriverInsertId() ? q.lastInsertId() : QVariant();
            return;
        }
        error = q.lastError();
    }
    RaiseFromError(error, commandText);
}

void Connection::BeginTrans() {
    RequireOpen();
    // PostgreSQL only warns of a BEGIN inside a transaction: its end would
    // then end the one already open.
    if (mProvider->InTransaction(*this))
        TessaroError::Raise(Err::StatementRejected,
                            QStringLiteral("A transaction is already open on the connection."));
    Execute(mProvider->BeginTransStatement());
}

void Connection::CommitTrans() {
    Execute(QStringLiteral("COMMIT"));
}

void Connection::RollbackTrans() {
    Execute(QStringLiteral("ROLLBACK"));
}

std::unique_ptr<Recordset> Connection::OpenSchema(int queryType, const QVariantList& criteria) {
    RequireOpen();
    return mProvider->OpenSchema(*this, queryType, criteria);
}

QVariant Connection::LastInsertId() const {
    RequireOpen();
    return mProvider->LastInsertId(*this, mLastInsertId);
}

std::optional<ChangeSignal> Connection::Signal(const QStringList& tables) const {
    if (!mOpen || !mProvider)
        return std::nullopt;
    auto signal = mProvider->Signal(*this, tables);
    if (signal)
        signal->opening = mOpenings;
    return signal;
}

bool Connection::Shareable() const {
    return mProvider && mProvider->Shareable(mSettings);
}

void Connection::RaiseFromError(const QSqlError& error, const QString& statement) {
    const QString text =
        error.databaseText().trimmed().isEmpty() ? error.text() : error.databaseText();
    if (!mOpen || (mProvider && mProvider->IsConnectionLost(error))) {
        // The handle is useless now; the next Open() starts afresh.
        Close();
        throw TessaroError(Err::LostConnection, text, statement);
    }
    if (mProvider && mProvider->IsBusy(error))
        throw TessaroError(Err::Timeout, text, statement);
    throw TessaroError(Err::StatementRejected, text, statement,
                       mProvider ? mProvider->RefusalOf(error) : Refusal::Other);
}

// ---------------------------------------------------------------------------
// RecordsetColumn

QVariant RecordsetColumn::At(std::size_t row) const {
    if (packedIntegers)
        return QVariant(integers.at(row));
    return variants.at(row);
}

bool RecordsetColumn::IsNull(std::size_t row) const {
    return !packedIntegers && variants.at(row).isNull();
}

void RecordsetColumn::Append(const QVariant& value) {
    const bool null = !value.isValid() || value.isNull();
    if (packedIntegers) {
        if (!null && IsIntegerType(value.typeId())) {
            integers.push_back(value.toLongLong());
            return;
        }
        variants.reserve(integers.capacity());
        for (qint64 n : integers)
            variants.emplace_back(n);
        std::vector<qint64>().swap(integers);
        packedIntegers = false;
    }
    variants.push_back(null ? QVariant() : value);
}

// ---------------------------------------------------------------------------
// Field and Fields

QVariant Field::Value() const {
    if (mOwner->State() != adStateOpen)
        TessaroError::Raise(Err::ObjectClosed, ClosedRecordsetText());
    if (mOwner->Bof() || mOwner->Eof())
        TessaroError::Raise(Err::NoCurrentRecord);
    return mOwner->ValueAt(mOwner->CurrentRow(), mColumn);
}

QString Field::Name() const {
    return mOwner->Column(mColumn).name;
}

int Field::Type() const {
    return mOwner->Column(mColumn).type;
}

long Field::DefinedSize() const {
    return mOwner->Column(mColumn).definedSize;
}

int Fields::Count() const {
    return mOwner->ColumnCount();
}

Field Fields::Item(int index) const {
    if (index < 0 || index >= mOwner->ColumnCount())
        RaiseItemNotFound(QString::number(index));
    return Field(mOwner, index);
}

Field Fields::Item(const QString& name) const {
    const int index = mOwner->ColumnIndex(name);
    if (index < 0)
        RaiseItemNotFound(name);
    return Field(mOwner, index);
}

// ---------------------------------------------------------------------------
// Recordset

struct Recordset::FindIndex {
    RowTable table;
};

Recordset::Recordset() = default;
Recordset::~Recordset() = default;

void Recordset::Reset() {
    if (mOpen) {
        mLastSource = mSource;
        mLastRows = mRows;
    }
    mColumns.clear();
    mFind.clear();
    mNames.reset();
    mRows = 0;
    mRow = -1;
    mOpen = false;
    mSource.clear();
}

void Recordset::RequireOpen() const {
    if (!mOpen)
        TessaroError::Raise(Err::ObjectClosed, ClosedRecordsetText());
}

void Recordset::Open(const QString& source, Connection* activeConnection, int /*cursorType*/,
                     int /*lockType*/, int /*options*/) {
    Open(source, QVariantList(), activeConnection);
}

void Recordset::Open(const QString& source, const QVariantList& values,
                     Connection* activeConnection) {
    Reset();
    std::vector<RecordsetColumn> columns;
    try {
        if (!activeConnection)
            TessaroError::Raise(Err::ObjectNotSet);
        activeConnection->RequireOpen();
        const auto expectedRows = static_cast<std::size_t>(source == mLastSource ? mLastRows : 0);
        const bool diretta = activeConnection->Provider().ReadDirect(*activeConnection, source,
                                                                     values, expectedRows, columns);
        if (!diretta && !ReadThroughQt(*activeConnection, source, values, columns))
            return; // a statement that returns no rows leaves the recordset closed
    } catch (const TessaroError& e) {
        // Whatever stopped the open, the statement it was for goes with the failure.
        if (!e.Statement().isEmpty())
            throw;
        throw TessaroError(e.Number(), e.Description(), source, e.Reason());
    }
    for (auto& c : columns) {
        if (c.type == 0)
            TypeFromValues(c);
    }
    OpenFromColumns(std::move(columns));
    mSource = source;
}

void Recordset::OpenFromColumns(std::vector<RecordsetColumn> columns) {
    Reset();
    const std::size_t rows = columns.empty() ? 0 : columns.front().Size();
    for (const auto& c : columns) {
        if (c.Size() != rows)
            RaiseWrongArguments(QStringLiteral("columns of different lengths"));
    }
    mColumns = std::move(columns);
    for (auto& c : mColumns) {
        // A long key list keeps its 8 bytes a row rather than what growing it left over.
        if (c.integers.capacity() > c.integers.size() + c.integers.size() / 8)
            c.integers.shrink_to_fit();
    }
    mRows = static_cast<qint64>(rows);
    mRow = mRows > 0 ? 0 : -1;
    mOpen = true;
}

std::unique_ptr<Recordset> Recordset::CopyRow(qint64 row) const {
    std::vector<RecordsetColumn> columns;
    columns.reserve(mColumns.size());
    for (int i = 0; i < ColumnCount(); ++i) {
        const RecordsetColumn& c = mColumns[static_cast<std::size_t>(i)];
        RecordsetColumn copy;
        copy.name = c.name;
        copy.table = c.table;
        copy.type = c.type;
        copy.definedSize = c.definedSize;
        copy.Append(ValueAt(row, i));
        columns.push_back(std::move(copy));
    }
    auto rs = std::make_unique<Recordset>();
    rs->OpenFromColumns(std::move(columns));
    if (!mNames)
        BuildNames();
    rs->mNames = mNames;
    return rs;
}

std::size_t Recordset::StorageBytes() const {
    std::size_t bytes = 0;
    for (const auto& c : mColumns)
        bytes += c.integers.capacity() * sizeof(qint64) + c.variants.capacity() * sizeof(QVariant);
    for (const auto& [column, slot] : mFind) {
        if (slot.index)
            bytes += slot.index->table.Bytes();
    }
    return bytes;
}

void Recordset::Close() {
    // Closing twice is harmless: the reconnection closes whatever may be open.
    Reset();
}

bool Recordset::Bof() const {
    RequireOpen();
    return mRows == 0 || mRow < 0;
}

bool Recordset::Eof() const {
    RequireOpen();
    return mRows == 0 || mRow >= mRows;
}

qint64 Recordset::RecordCount() const {
    RequireOpen();
    return mRows;
}

long Recordset::AbsolutePosition() const {
    RequireOpen();
    if (mRows == 0)
        return adPosUnknown;
    if (mRow < 0)
        return adPosBOF;
    if (mRow >= mRows)
        return adPosEOF;
    return static_cast<long>(mRow + 1);
}

void Recordset::SetRow(qint64 row) {
    if (mRows == 0)
        mRow = -1;
    else
        mRow = std::clamp<qint64>(row, -1, mRows);
}

void Recordset::MoveFirst() {
    RequireOpen();
    SetRow(0);
}

void Recordset::MoveLast() {
    RequireOpen();
    SetRow(mRows - 1);
}

void Recordset::MoveNext() {
    RequireOpen();
    SetRow(mRow + 1);
}

void Recordset::MovePrevious() {
    RequireOpen();
    if (mRow >= 0)
        SetRow(mRow - 1);
}

void Recordset::Move(qint64 numRecords, int start) {
    RequireOpen();
    qint64 base = 0;
    switch (start) {
    case adBookmarkCurrent:
        base = mRow;
        break;
    case adBookmarkFirst:
        base = 0;
        break;
    case adBookmarkLast:
        base = mRows - 1;
        break;
    default:
        RaiseWrongArguments(QStringLiteral("unknown start %1").arg(start));
    }
    SetRow(base + numRecords);
}

void Recordset::BuildNames() const {
    auto names = std::make_shared<QHash<QString, int>>();
    // The first column of a name answers for it, with or without its table.
    for (int i = ColumnCount() - 1; i >= 0; --i) {
        const RecordsetColumn& c = mColumns[static_cast<std::size_t>(i)];
        const QString qualified = c.table + QLatin1Char('.') + c.name;
        for (const QString& n : {c.name, c.name.toLower()})
            names->insert(n, i);
        if (!c.table.isEmpty())
            for (const QString& n : {qualified, qualified.toLower()})
                names->insert(n, i);
    }
    mNames = std::move(names);
}

int Recordset::ColumnIndex(const QString& name) const {
    if (!mNames)
        BuildNames();
    // Names are mostly asked as the schema writes them: no lower-case copy then.
    const auto exact = mNames->constFind(name);
    return exact != mNames->constEnd() ? exact.value() : mNames->value(name.toLower(), -1);
}

int Recordset::ColumnIndex(const QString& table, const QString& name) const {
    for (int i = 0; i < ColumnCount(); ++i) {
        const RecordsetColumn& c = mColumns[static_cast<std::size_t>(i)];
        if (c.name.compare(name, Qt::CaseInsensitive) == 0 &&
            c.table.compare(table, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

const RecordsetColumn& Recordset::Column(int index) const {
    RequireOpen();
    if (index < 0 || index >= ColumnCount())
        RaiseItemNotFound(QString::number(index));
    return mColumns[static_cast<std::size_t>(index)];
}

QVariant Recordset::ValueAt(qint64 row, int column) const {
    RequireOpen();
    if (column < 0 || column >= ColumnCount())
        RaiseItemNotFound(QString::number(column));
    if (row < 0 || row >= mRows)
        TessaroError::Raise(Err::NoCurrentRecord);
    return mColumns[column].At(static_cast<std::size_t>(row));
}

void Recordset::Find(const QString& criteria, qint64 skipRows, int searchDirection, int start) {
    RequireOpen();
    const auto criterion = ParseCriterion(criteria);
    if (!criterion)
        RaiseWrongArguments(criteria);
    if (searchDirection != adSearchForward && searchDirection != adSearchBackward)
        RaiseWrongArguments(QStringLiteral("search direction %1").arg(searchDirection));
    const int column = ColumnIndex(criterion->column);
    if (column < 0)
        RaiseItemNotFound(criterion->column);

    qint64 base = mRow;
    if (start == adBookmarkFirst)
        base = 0;
    else if (start == adBookmarkLast)
        base = mRows - 1;
    else if (start != adBookmarkCurrent)
        RaiseWrongArguments(QStringLiteral("unknown start %1").arg(start));
    if (mRows == 0)
        return;
    const bool forward = searchDirection == adSearchForward;
    const qint64 from = std::clamp<qint64>(base + skipRows * searchDirection, -1, mRows);

    const RecordsetColumn& col = mColumns[column];
    FindSlot& slot = mFind[column];
    std::optional<qint64> hit;
    if (++slot.finds < 2 || !RowTable::Fits(col.Size())) {
        hit = ScanColumn(col, *criterion, from, forward);
    } else {
        if (!slot.index)
            slot.index = std::make_unique<FindIndex>(FindIndex{RowTable(col)});
        hit = LookUp(slot.index->table, col, *criterion, from, forward);
    }
    SetRow(hit ? *hit : (forward ? mRows : -1));
}

// ---------------------------------------------------------------------------
// RowsetBuilder

RowsetBuilder::RowsetBuilder(const std::vector<std::pair<QString, int>>& columns) {
    mColumns.resize(columns.size());
    for (std::size_t i = 0; i < columns.size(); ++i) {
        mColumns[i].name = columns[i].first;
        mColumns[i].type = columns[i].second;
        mColumns[i].definedSize = DbProvider::DefaultSize(columns[i].second);
    }
}

void RowsetBuilder::AddRow(const QVariantList& values) {
    if (static_cast<std::size_t>(values.size()) != mColumns.size())
        RaiseWrongArguments(QStringLiteral("a schema row of the wrong width"));
    for (std::size_t i = 0; i < mColumns.size(); ++i)
        mColumns[i].Append(values[static_cast<qsizetype>(i)]);
}

std::unique_ptr<Recordset> RowsetBuilder::Build() {
    auto rs = std::make_unique<Recordset>();
    rs->OpenFromColumns(std::move(mColumns));
    mColumns.clear();
    return rs;
}

// ---------------------------------------------------------------------------
// DbProvider

std::unique_ptr<DbProvider> DbProvider::Create(const QString& provider) {
    const QString name = NormalisedProvider(provider);
    if (name == QLatin1String("SQLite"))
        return std::make_unique<SqliteProvider>();
    if (name == QLatin1String("MySQL"))
        return std::make_unique<MySqlProvider>();
    if (name == QLatin1String("PostgreSQL"))
        return std::make_unique<PostgreSqlProvider>();
    TessaroError::Raise(Err::LostConnection,
                        name.isEmpty() ? QStringLiteral("The connection string names no provider.")
                                       : QStringLiteral("Provider cannot be found: ") + name);
}

int DbProvider::TypeCodeOf(QMetaType type) {
    const int id = type.id();
    if (IsIntegerType(id) || id == QMetaType::ULongLong)
        return DbType::Integer;
    switch (id) {
    case QMetaType::Bool:
        return DbType::Boolean;
    case QMetaType::Double:
    case QMetaType::Float:
        return DbType::Double;
    case QMetaType::QString:
    case QMetaType::QChar:
        return DbType::WChar;
    case QMetaType::QByteArray:
        return DbType::Binary;
    case QMetaType::QDate:
        return DbType::Date;
    case QMetaType::QDateTime:
        return DbType::DbTimeStamp;
    case QMetaType::QTime:
        return DbType::DbTime;
    default:
        return 0;
    }
}

long DbProvider::DefaultSize(int typeCode) {
    switch (typeCode) {
    case DbType::Boolean:
    case DbType::SmallInt:
        return 2;
    case DbType::Integer:
    case DbType::Single:
        return 4;
    case DbType::Double:
    case DbType::Currency:
    case DbType::Date:
    case DbType::BigInt:
    case DbType::DbTime:
        return 8;
    case DbType::DbTimeStamp:
        return 16;
    case DbType::Numeric:
        return 19;
    case DbType::Guid:
        return 16;
    default:
        return 0; // text and binary without a declared limit
    }
}

void DbProvider::DescribeColumns(const Connection& /*c*/, const QSqlRecord& record,
                                 std::vector<RecordsetColumn>& columns) const {
    for (int i = 0; i < record.count() && i < static_cast<int>(columns.size()); ++i) {
        const QSqlField f = record.field(i);
        columns[i].type = TypeCodeOf(f.metaType());
        columns[i].definedSize = f.length() > 0 ? f.length() : DefaultSize(columns[i].type);
    }
}

} // namespace tessaro

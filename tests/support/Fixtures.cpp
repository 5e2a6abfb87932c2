#include "support/Fixtures.h"

#include "data/Values.h"

#include <QCoreApplication>
#include <QProcess>
#include <QRegularExpression>
#include <atomic>

namespace tessaro::test {

Raised RaisedBy(const std::function<void()>& operation) {
    try {
        operation();
    } catch (const TessaroError& e) {
        return {e.Number(), e.Description()};
    }
    return {};
}

void BoxesTest::SetUp() {
    mScope = std::make_unique<ScopedMessageBoxService>(&boxes);
}

void BoxesTest::TearDown() {
    for (const auto& b : boxes.Unexpected())
        ADD_FAILURE() << "unexpected message box, title \"" << b.title.toStdString() << "\", style "
                      << b.style << ": " << b.text.toStdString();
    EXPECT_EQ(boxes.PendingAnswers(), 0u) << "boxes expected but never shown";
    mScope.reset();
}

void BoxesTest::ExpectBox(std::size_t index, const QString& text, int style, const QString& title) {
    ASSERT_LT(index, boxes.Shown().size());
    const auto& b = boxes.Shown()[index];
    EXPECT_EQ(std::make_tuple(b.text, b.style, b.title), std::make_tuple(text, style, title));
}

void BoxesTest::ExpectOneBox(const std::function<void()>& operation, const QString& text, int style,
                             const QString& title, int answer) {
    const std::size_t before = boxes.Shown().size();
    boxes.Expect(answer);
    operation();
    ASSERT_EQ(boxes.Shown().size(), before + 1) << text.toStdString();
    ExpectBox(before, text, style, title);
}

// ---------------------------------------------------------------------------
// SQLite

SqliteFile::SqliteFile(const QString& script) {
    mPath = mDir.filePath("test.db");
    if (!script.isEmpty())
        Exec(script);
}

QString SqliteFile::ConnectionString() const {
    return QStringLiteral("Provider=SQLite;Data Source=") + mPath;
}

void SqliteFile::Exec(const QString& script) const {
    const auto c = Open();
    for (const QString& statement : script.split(QLatin1Char(';')))
        if (!statement.trimmed().isEmpty())
            c->Execute(statement);
}

std::unique_ptr<Connection> SqliteFile::Open() const {
    auto c = std::make_unique<Connection>();
    c->Open(ConnectionString());
    return c;
}

// ---------------------------------------------------------------------------
// Servers

namespace {

// The environment variables scripts/test.sh exports for a server engine.
QString Variabile(Motore motore, const char* parte = "") {
    return QStringLiteral("TESSARO_") +
           (motore == Motore::Postgres ? QStringLiteral("POSTGRES") : QStringLiteral("MARIADB")) +
           QLatin1String(parte);
}

QString WithDatabase(const QString& connectionString, const QString& database) {
    static const QRegularExpression given("(^|;)\\s*Database=[^;]*",
                                          QRegularExpression::CaseInsensitiveOption);
    return QString(connectionString).remove(given) + QStringLiteral(";Database=") + database;
}

void RunAll(const QString& connectionString, const QStringList& statements) {
    Connection c;
    c.Open(connectionString);
    for (const QString& sql : statements)
        c.Execute(sql);
}

} // namespace

bool ServerAvailable(Motore motore) {
    return !qEnvironmentVariableIsEmpty(Variabile(motore).toLatin1().constData());
}

QString SharedConnectionString(Motore motore) {
    return qEnvironmentVariable(Variabile(motore).toLatin1().constData());
}

PrivateServer::PrivateServer(Motore motore)
    : mScript(qEnvironmentVariable(Variabile(motore, "_SCRIPT").toLatin1().constData())) {
    if (mScript.isEmpty()) {
        mError = Variabile(motore, "_SCRIPT") + " is not set";
        return;
    }
    // A copy of the shared server's untouched data folder starts much sooner.
    const QString pristine =
        qEnvironmentVariable(Variabile(motore, "_PRISTINE").toLatin1().constData());
    QString out;
    if (!Run("start", &out, pristine.isEmpty() ? QStringList() : QStringList{pristine}))
        return;
    const QRegularExpression line("^export " + Variabile(motore) + "=\"(.*)\"$",
                                  QRegularExpression::MultilineOption);
    const auto m = line.match(out);
    if (m.hasMatch())
        mConnectionString = m.captured(1);
    else
        mError = QStringLiteral("no connection string in: ") + out;
}

PrivateServer::~PrivateServer() {
    if (!mScript.isEmpty())
        Run("stop");
}

bool PrivateServer::Run(const QString& verb, QString* out, const QStringList& extra) {
    QProcess p;
    p.start(mScript, QStringList{verb, mDir.path()} + extra);
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        mError = verb + QStringLiteral(" failed: ") + QString::fromUtf8(p.readAllStandardError());
        if (p.state() != QProcess::NotRunning)
            p.kill();
        return false;
    }
    if (out)
        *out = QString::fromUtf8(p.readAllStandardOutput());
    return true;
}

void PrivateServer::Kill() {
    ASSERT_TRUE(Run("kill")) << mError.toStdString();
}

void PrivateServer::Restart() {
    ASSERT_TRUE(Run("restart")) << mError.toStdString();
}

// ---------------------------------------------------------------------------
// Both engines

std::string NomeMotore(const ::testing::TestParamInfo<Motore>& info) {
    switch (info.param) {
    case Motore::Sqlite:
        return "Sqlite";
    case Motore::MariaDb:
        return "MariaDb";
    case Motore::Postgres:
        break;
    }
    return "Postgres";
}

namespace {

// The types a test names as SQLite and MariaDB take them, in PostgreSQL's words.
QString PerPostgres(QString statement) {
    static const std::pair<QRegularExpression, const char*> tipi[] = {
        {QRegularExpression("\\bDOUBLE\\b(?!\\s+PRECISION)"), "DOUBLE PRECISION"},
        {QRegularExpression("\\bDATETIME\\b"), "TIMESTAMP"},
        {QRegularExpression("\\bBLOB\\b"), "BYTEA"}};
    if (!statement.trimmed().startsWith("CREATE", Qt::CaseInsensitive))
        return statement;
    for (const auto& [tipo, suo] : tipi)
        statement.replace(tipo, QLatin1String(suo));
    return statement;
}

} // namespace

int Banco::Kind() const {
    switch (mMotore) {
    case Motore::Sqlite:
        return 4;
    case Motore::MariaDb:
        return 2;
    case Motore::Postgres:
        break;
    }
    return 5;
}

std::unique_ptr<Banco> Banco::Crea(Motore motore, const QString& server) {
    if (motore != Motore::Sqlite && server.isEmpty() && !ServerAvailable(motore))
        return nullptr;
    auto b = std::unique_ptr<Banco>(new Banco(motore));
    if (motore == Motore::Sqlite) {
        b->mFile = std::make_unique<SqliteFile>();
        b->mConnectionString = b->mFile->ConnectionString();
        return b;
    }
    static std::atomic<int> counter{0};
    b->mServer = server.isEmpty() ? SharedConnectionString(motore) : server;
    b->mDatabase = QStringLiteral("tessaro_%1_%2")
                       .arg(QCoreApplication::applicationPid())
                       .arg(counter.fetch_add(1));
    if (motore == Motore::Postgres)
        RunAll(b->mServer, {"DROP DATABASE IF EXISTS " + b->mDatabase + " WITH (FORCE)",
                            "CREATE DATABASE " + b->mDatabase});
    else
        RunAll(b->mServer, {"DROP DATABASE IF EXISTS `" + b->mDatabase + "`",
                            "CREATE DATABASE `" + b->mDatabase + "` CHARACTER SET utf8mb4"});
    b->mConnectionString = WithDatabase(b->mServer, b->mDatabase);
    return b;
}

Banco::~Banco() {
    if (mDatabase.isEmpty())
        return;
    try {
        // Counting threads of a navigator just gone may still hold a session.
        RunAll(mServer, {mMotore == Motore::Postgres
                             ? "DROP DATABASE IF EXISTS " + mDatabase + " WITH (FORCE)"
                             : "DROP DATABASE IF EXISTS `" + mDatabase + "`"});
    } catch (const std::exception&) {
        // A server that is down takes its throwaway data with it anyway.
    }
}

QString Banco::ConnectionString() const {
    return mConnectionString;
}

QString Banco::Memorizzato(const QString& nomi) const {
    return mMotore == Motore::Postgres ? nomi.toLower() : nomi;
}

QStringList Banco::Memorizzati(const QStringList& nomi) const {
    QStringList out;
    for (const QString& n : nomi)
        out << Memorizzato(n);
    return out;
}

void Banco::Exec(const QStringList& statements) const {
    const QString autoKey = mMotore == Motore::Sqlite    ? "INTEGER PRIMARY KEY AUTOINCREMENT"
                            : mMotore == Motore::MariaDb ? "INT AUTO_INCREMENT PRIMARY KEY"
                                                         : "SERIAL PRIMARY KEY";
    QStringList out;
    for (QString s : statements) {
        s.replace(QLatin1String("{AUTO}"), autoKey);
        out << (mMotore == Motore::Postgres ? PerPostgres(s) : s);
    }
    // As on the other engines, an auto-numbered key goes on after the highest
    // one written.
    if (mMotore == Motore::Postgres)
        out << "DO $$DECLARE r record; BEGIN FOR r IN SELECT s.oid::regclass AS seq, "
               "t.oid::regclass AS tab, a.attname FROM pg_class s JOIN pg_depend d ON "
               "d.objid = s.oid AND d.deptype IN ('a', 'i') JOIN pg_class t ON t.oid = "
               "d.refobjid JOIN pg_attribute a ON a.attrelid = t.oid AND a.attnum = "
               "d.refobjsubid WHERE s.relkind = 'S' LOOP EXECUTE format('SELECT setval(%L, "
               "COALESCE((SELECT max(%I) FROM %s), 0) + 1, false)', r.seq, r.attname, r.tab); "
               "END LOOP; END$$";
    RunAll(ConnectionString(), out);
}

std::unique_ptr<Connection> Banco::Open() const {
    auto c = std::make_unique<Connection>();
    c->Open(ConnectionString());
    return c;
}

QStringList Banco::Rows(const QString& sql) const {
    return RowsAsText(Open().get(), sql);
}

QString Banco::Cell(const QString& sql) const {
    const QStringList rows = Rows(sql);
    return rows.isEmpty() ? "<no row>" : rows.front();
}

QStringList RowsAsText(Connection* c, const QString& sql) {
    Recordset rs;
    rs.Open(sql, c, adOpenStatic, adLockReadOnly, adCmdText);
    QStringList out;
    for (; !rs.Eof(); rs.MoveNext()) {
        QStringList row;
        for (int i = 0; i < rs.Fields().Count(); ++i) {
            const QVariant v = rs.Fields().Item(i).Value();
            row << (v.isNull() ? "<null>" : ValueToText(v));
        }
        out << row.join(QLatin1Char('|'));
    }
    return out;
}

QString SourceDir() {
    return QStringLiteral(TESSARO_SOURCE_DIR);
}

} // namespace tessaro::test

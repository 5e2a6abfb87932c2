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
// MariaDB

namespace {

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

bool ServerAvailable() {
    return !qEnvironmentVariableIsEmpty("TESSARO_MARIADB");
}

QString SharedConnectionString() {
    return qEnvironmentVariable("TESSARO_MARIADB");
}

PrivateServer::PrivateServer() : mScript(qEnvironmentVariable("TESSARO_MARIADB_SCRIPT")) {
    if (mScript.isEmpty()) {
        mError = "TESSARO_MARIADB_SCRIPT is not set";
        return;
    }
    // A copy of the shared server's untouched data folder starts much sooner.
    const QString pristine = qEnvironmentVariable("TESSARO_MARIADB_PRISTINE");
    QString out;
    if (!Run("start", &out, pristine.isEmpty() ? QStringList() : QStringList{pristine}))
        return;
    static const QRegularExpression line("^export TESSARO_MARIADB=\"(.*)\"$",
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
    return info.param == Motore::Sqlite ? "Sqlite" : "MariaDb";
}

std::unique_ptr<Banco> Banco::Crea(Motore motore, const QString& server) {
    if (motore == Motore::MariaDb && server.isEmpty() && !ServerAvailable())
        return nullptr;
    auto b = std::unique_ptr<Banco>(new Banco(motore));
    if (motore == Motore::Sqlite) {
        b->mFile = std::make_unique<SqliteFile>();
        b->mConnectionString = b->mFile->ConnectionString();
        return b;
    }
    static std::atomic<int> counter{0};
    b->mServer = server.isEmpty() ? SharedConnectionString() : server;
    b->mDatabase = QStringLiteral("tessaro_%1_%2")
                       .arg(QCoreApplication::applicationPid())
                       .arg(counter.fetch_add(1));
    RunAll(b->mServer, {"DROP DATABASE IF EXISTS `" + b->mDatabase + "`",
                        "CREATE DATABASE `" + b->mDatabase + "` CHARACTER SET utf8mb4"});
    b->mConnectionString = WithDatabase(b->mServer, b->mDatabase);
    return b;
}

Banco::~Banco() {
    if (mDatabase.isEmpty())
        return;
    try {
        RunAll(mServer, {"DROP DATABASE IF EXISTS `" + mDatabase + "`"});
    } catch (const std::exception&) {
        // A server that is down takes its throwaway data with it anyway.
    }
}

QString Banco::ConnectionString() const {
    return mConnectionString;
}

void Banco::Exec(const QStringList& statements) const {
    const QString autoKey = mMotore == Motore::Sqlite ? "INTEGER PRIMARY KEY AUTOINCREMENT"
                                                      : "INT AUTO_INCREMENT PRIMARY KEY";
    QStringList out;
    for (QString s : statements)
        out << s.replace(QLatin1String("{AUTO}"), autoKey);
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

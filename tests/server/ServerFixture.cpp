#include "server/ServerFixture.h"

#include "data/Values.h"

#include <QCoreApplication>
#include <QProcess>
#include <QRegularExpression>
#include <atomic>
#include <cstdio>

namespace tessaro::test {

bool ServerAvailable() {
    return !qEnvironmentVariableIsEmpty("TESSARO_MARIADB");
}

QString SharedConnectionString() {
    return qEnvironmentVariable("TESSARO_MARIADB");
}

QString WithDatabase(const QString& connectionString, const QString& database) {
    QStringList parts;
    bool replaced = false;
    for (const QString& part : connectionString.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        if (part.trimmed().startsWith(QLatin1String("Database="), Qt::CaseInsensitive)) {
            parts << QStringLiteral("Database=") + database;
            replaced = true;
        } else {
            parts << part;
        }
    }
    if (!replaced)
        parts << QStringLiteral("Database=") + database;
    return parts.join(QLatin1Char(';'));
}

Failure FailureOf(const std::function<void()>& operation) {
    try {
        operation();
    } catch (const TessaroError& e) {
        return {e.Number(), e.Description()};
    }
    return {};
}

namespace {

QString UniqueDatabaseName() {
    static std::atomic<int> counter{0};
    return QStringLiteral("tessaro_%1_%2")
        .arg(QCoreApplication::applicationPid())
        .arg(counter.fetch_add(1));
}

// Runs a statement, opening the connection again once when it was lost (the
// private server of a recovery test may have been restarted meanwhile).
void ExecReconnecting(Connection& c, const QString& sql) {
    try {
        c.Execute(sql);
    } catch (const TessaroError& e) {
        if (e.Number() != Err::LostConnection)
            throw;
        c.Close();
        c.Open();
        c.Execute(sql);
    }
}

std::runtime_error Failed(const QString& what, const TessaroError& e) {
    return std::runtime_error((what + QStringLiteral(": ") + QString::number(e.Number()) +
                               QLatin1Char(' ') + e.Description())
                                  .toStdString());
}

} // namespace

ServerDatabase::ServerDatabase(const QString& serverConnectionString)
    : mServer(serverConnectionString), mName(UniqueDatabaseName()) {
    Connection admin;
    const QString create = QStringLiteral("CREATE DATABASE `%1` CHARACTER SET utf8mb4").arg(mName);
    try {
        admin.Open(mServer);
        admin.Execute(QStringLiteral("DROP DATABASE IF EXISTS `%1`").arg(mName));
        admin.Execute(create);
    } catch (const TessaroError& e) {
        throw Failed(create, e);
    }
    mConnectionString = WithDatabase(mServer, mName);
}

ServerDatabase::~ServerDatabase() {
    try {
        Connection admin;
        admin.Open(mServer);
        admin.Execute(QStringLiteral("DROP DATABASE IF EXISTS `%1`").arg(mName));
    } catch (const TessaroError&) {
        // A server that is down takes its throwaway data with it anyway.
    }
}

void ServerDatabase::Exec(const QStringList& statements) const {
    Connection c;
    QString current = QStringLiteral("open");
    try {
        c.Open(mConnectionString);
        for (const QString& sql : statements) {
            current = sql;
            ExecReconnecting(c, sql);
        }
    } catch (const TessaroError& e) {
        throw Failed(current, e);
    }
}

std::unique_ptr<Connection> ServerDatabase::Open() const {
    auto c = std::make_unique<Connection>();
    c->Open(mConnectionString);
    return c;
}

QStringList ServerDatabase::Column(const QString& select) const {
    QStringList out;
    auto c = Open();
    Recordset rs;
    rs.Open(select, c.get(), adOpenStatic, adLockReadOnly, adCmdText);
    for (; !rs.Eof(); rs.MoveNext())
        out << ValueToText(rs.Fields().Item(0).Value());
    return out;
}

PrivateServer::PrivateServer() : mScript(qEnvironmentVariable("TESSARO_MARIADB_SCRIPT")) {
    if (mScript.isEmpty()) {
        mError = QStringLiteral("TESSARO_MARIADB_SCRIPT is not set");
        return;
    }
    QElapsedTimer timer;
    timer.start();
    QString out;
    // A copy of the shared server's untouched data folder starts much sooner
    // than a fresh installation.
    QStringList extra;
    const QString pristine = qEnvironmentVariable("TESSARO_MARIADB_PRISTINE");
    if (!pristine.isEmpty())
        extra << pristine;
    if (!Run(QStringLiteral("start"), &out, extra))
        return;
    mStartMs = timer.elapsed();
    static const QRegularExpression line(QStringLiteral("^export TESSARO_MARIADB=\"(.*)\"$"),
                                         QRegularExpression::MultilineOption);
    const auto m = line.match(out);
    if (!m.hasMatch()) {
        mError = QStringLiteral("no connection string in: ") + out;
        return;
    }
    mConnectionString = m.captured(1);
}

PrivateServer::~PrivateServer() {
    if (!mScript.isEmpty())
        Run(QStringLiteral("stop"));
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
    ASSERT_TRUE(Run(QStringLiteral("kill"))) << mError.toStdString();
}

void PrivateServer::Restart() {
    ASSERT_TRUE(Run(QStringLiteral("restart"))) << mError.toStdString();
}

void RecordFigure(const QString& name, qint64 milliseconds) {
    ::testing::Test::RecordProperty(name.toStdString(), static_cast<int>(milliseconds));
    std::fprintf(stderr, "[ figure ] %s: %lld ms\n", name.toUtf8().constData(),
                 static_cast<long long>(milliseconds));
}

} // namespace tessaro::test

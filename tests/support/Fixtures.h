#pragma once

// What every test folder shares: scripted message boxes, throwaway databases
// of every engine (a SQLite file, a database on the MariaDB or the PostgreSQL
// server that scripts/test.sh starts), and small readers of what a database holds.

#include "data/Database.h"
#include "data/TessaroError.h"
#include "host/MessageBox.h"

#include <QLocale>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <ostream>
#include <tuple>

// Readable texts in failure messages.
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

namespace tessaro::test {

// Expected values as one tuple, to compare with the actual ones; a text literal
// becomes a QString so that a failure prints it as text.
inline QString AsExpected(const char* text) {
    return QString::fromUtf8(text);
}
template <typename T> const T& AsExpected(const T& value) {
    return value;
}
template <typename... T> auto Expected(const T&... values) {
    return std::make_tuple(AsExpected(values)...);
}

// The failure an operation raises: number 0 and an empty text when it raises none.
struct Raised {
    int number = 0;
    QString description;
};
Raised RaisedBy(const std::function<void()>& operation);

// Installs scripted message boxes for one test; a box that the test did not
// expect (no answer queued) fails the test with its text and title.
class BoxesTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // Expects the box shown at index to have this text, style and title.
    void ExpectBox(std::size_t index, const QString& text, int style, const QString& title);
    // Queues an answer, runs the operation and expects exactly that one box.
    void ExpectOneBox(const std::function<void()>& operation, const QString& text, int style,
                      const QString& title, int answer = MsgAnswer::Ok);

    ScriptedMessageBoxes boxes;

private:
    std::unique_ptr<ScopedMessageBoxService> mScope;
};

// A fresh SQLite file in a temporary folder.
class SqliteFile {
public:
    explicit SqliteFile(const QString& script = QString());
    QString Path() const { return mPath; }
    QString ConnectionString() const;
    // Runs statements separated by ";" on a connection of its own.
    void Exec(const QString& script) const;
    std::unique_ptr<Connection> Open() const;

private:
    QTemporaryDir mDir;
    QString mPath;
};

// The database engines every behaviour is checked on.
enum class Motore { Sqlite, MariaDb, Postgres };
std::string NomeMotore(const ::testing::TestParamInfo<Motore>& info);
#define INSTANTIATE_FOR_ENGINES(Suite)                                                             \
    INSTANTIATE_TEST_SUITE_P(Engines, Suite,                                                       \
                             ::testing::Values(::tessaro::test::Motore::Sqlite,                    \
                                               ::tessaro::test::Motore::MariaDb,                   \
                                               ::tessaro::test::Motore::Postgres),                 \
                             ::tessaro::test::NomeMotore)

// The shared server of an engine (MariaDB or PostgreSQL) of the run, when
// scripts/test.sh started one.
bool ServerAvailable(Motore motore = Motore::MariaDb);
QString SharedConnectionString(Motore motore = Motore::MariaDb);

// A server of its own, for a test that kills and restarts the server.
class PrivateServer {
public:
    explicit PrivateServer(Motore motore = Motore::MariaDb);
    ~PrivateServer();
    PrivateServer(const PrivateServer&) = delete;
    PrivateServer& operator=(const PrivateServer&) = delete;
    bool Started() const { return !mConnectionString.isEmpty(); }
    QString ConnectionString() const { return mConnectionString; }
    QString Error() const { return mError; }
    void Kill();    // no shutdown: by its PID (MariaDB), an immediate stop (PostgreSQL)
    void Restart(); // same port and data; returns once it answers

private:
    bool Run(const QString& verb, QString* out = nullptr, const QStringList& extra = {});
    QTemporaryDir mDir;
    QString mScript;
    QString mConnectionString;
    QString mError;
};

// A fresh, empty database of one engine (a SQLite file, or a database of its
// own on a server, dropped at the end). In the statements given to Exec,
// "{AUTO}" stands for the engine's auto-numbered integer key column type, and
// on PostgreSQL the types it names otherwise (DOUBLE, DATETIME, BLOB) are
// written its way.
class Banco {
public:
    // nullptr when the engine is not available in this run.
    static std::unique_ptr<Banco> Crea(Motore motore, const QString& server = QString());
    ~Banco();
    Banco(const Banco&) = delete;
    Banco& operator=(const Banco&) = delete;

    Motore Engine() const { return mMotore; }
    // The database kind the navigator uses on this engine.
    int Kind() const;
    QString ConnectionString() const;
    // Names as the engine keeps them when a statement wrote them unquoted:
    // PostgreSQL folds them to lower case.
    QString Memorizzato(const QString& nomi) const;
    QStringList Memorizzati(const QStringList& nomi) const;
    void Exec(const QStringList& statements) const;
    std::unique_ptr<Connection> Open() const;
    // Every row of a query as text: cells joined with "|", Null as "<null>".
    QStringList Rows(const QString& sql) const;
    // The first row of a one-column query, "<no row>" when there is none.
    QString Cell(const QString& sql) const;

private:
    explicit Banco(Motore m) : mMotore(m) {}
    Motore mMotore;
    std::unique_ptr<SqliteFile> mFile;
    QString mServer;   // the server's connection string, servers only
    QString mDatabase; // dropped by the destructor
    QString mConnectionString;
};

// The rows of a query on a connection, as Banco::Rows gives them.
QStringList RowsAsText(Connection* c, const QString& sql);

QString SourceDir();

// Runs a test under an application locale and puts the previous one back.
class LocaleScope {
public:
    explicit LocaleScope(const QLocale& locale) : mPrevious(QLocale()) {
        QLocale::setDefault(locale);
    }
    ~LocaleScope() { QLocale::setDefault(mPrevious); }

private:
    QLocale mPrevious;
};

} // namespace tessaro::test

#pragma once

// The throwaway MariaDB of the server tests. scripts/test.sh starts one server
// for the whole run and exports TESSARO_MARIADB*; every test works in a
// database of its own on it, so tests run in parallel. Tests that kill the
// server start a private one, so the others never see it go away.

#include "data/Database.h"
#include "data/TessaroError.h"
#include "support/Fixtures.h"

#include <QElapsedTimer>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <ostream>

namespace tessaro::test {

// Skips the test when no server was started for this run.
#define REQUIRE_SERVER()                                                                           \
    do {                                                                                           \
        if (!::tessaro::test::ServerAvailable())                                                   \
            GTEST_SKIP() << "TESSARO_MARIADB is not set: run through scripts/test.sh";             \
    } while (0)

bool ServerAvailable();
// The connection string of the shared server.
QString SharedConnectionString();
// A connection string with its Database= replaced.
QString WithDatabase(const QString& connectionString, const QString& database);

// The failure an operation raises; number 0 when it raises none.
struct Failure {
    int number = 0;
    QString description;
};
Failure FailureOf(const std::function<void()>& operation);

// A fresh database for one test, dropped at the end.
class ServerDatabase {
public:
    explicit ServerDatabase(const QString& serverConnectionString = SharedConnectionString());
    ~ServerDatabase();
    ServerDatabase(const ServerDatabase&) = delete;
    ServerDatabase& operator=(const ServerDatabase&) = delete;

    QString Name() const { return mName; }
    QString ConnectionString() const { return mConnectionString; }
    // Runs each statement on a connection of its own; a failure throws.
    void Exec(const QStringList& statements) const;
    std::unique_ptr<Connection> Open() const;
    // The values of one column of a query, as text, in the order returned.
    QStringList Column(const QString& select) const;

private:
    QString mServer;
    QString mName;
    QString mConnectionString;
};

// A MariaDB of its own for a test that kills and restarts the server.
class PrivateServer {
public:
    PrivateServer();
    ~PrivateServer();
    PrivateServer(const PrivateServer&) = delete;
    PrivateServer& operator=(const PrivateServer&) = delete;

    bool Started() const { return !mConnectionString.isEmpty(); }
    QString ConnectionString() const { return mConnectionString; }
    QString Error() const { return mError; }
    qint64 StartMilliseconds() const { return mStartMs; }
    // Kills the server by its PID (no shutdown) and waits until it is gone.
    void Kill();
    // Starts it again on the same port and data folder; returns once it answers.
    void Restart();

private:
    bool Run(const QString& verb, QString* out = nullptr, const QStringList& extra = {});

    QTemporaryDir mDir;
    QString mScript;
    QString mConnectionString;
    QString mError;
    qint64 mStartMs = 0;
};

// Prints a measured figure in the test log, for the report of a run.
void RecordFigure(const QString& name, qint64 milliseconds);

} // namespace tessaro::test

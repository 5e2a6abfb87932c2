#pragma once

// The sample database of the demo: the tables Comuni, Agenti, Clienti and
// Ordini, created from the SQL scripts compiled into the program and filled
// with the same rows every time.

#include <QString>
#include <QStringList>

namespace tessaro {
class Connection;
}

namespace demo {

// The statements of a SQL script, split at the semicolons that end them; a
// semicolon inside quotes or a comment does not end a statement. Comments and
// blank statements are dropped.
QStringList SplitSqlScript(const QString& script);

// A script compiled into the program (":/demo/sql/<name>").
QString ScriptText(const QString& name);

// The schema script for the connection's provider ("SQLite", "MySQL" or "PostgreSQL").
QString SchemaScriptName(const QString& provider);

// "Provider=SQLite;Data Source=<file>".
QString SqliteConnectionString(const QString& file);

// Whether the four tables of the demo are there.
bool HasSampleTables(tessaro::Connection& connection);

// Creates and fills the tables unless they are there; true when it created them.
bool PrepareSampleDatabase(tessaro::Connection& connection);

// Adds generated customers until Clienti holds at least `rows` rows, in one
// transaction. The same seed gives the same customers. Returns the count added.
qint64 GrowCustomers(tessaro::Connection& connection, qint64 rows);

// One generated customer (for GrowCustomers and its tests).
struct GeneratedCustomer {
    QString Cognome;
    QString Nome;
    QString Indirizzo;
    int IdComune = 0;
    QString Telefono;
    bool Attivo = true;
};

// The n-th generated customer, with cities numbered 1 to cityCount.
GeneratedCustomer GenerateCustomer(quint64 n, int cityCount);

} // namespace demo

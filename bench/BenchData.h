#pragma once

// The customers table the benchmark navigates, on a SQLite file or a MariaDB
// or PostgreSQL server, and a second connection that changes it behind the
// navigator's back.

#include <QSqlDatabase>
#include <QString>
#include <QStringList>

namespace bench {

inline const QString kTable = QStringLiteral("Clienti");
inline const QString kKey = QStringLiteral("IdCliente");
inline const QString kSort = QStringLiteral("Cognome");

// The columns shown on the form, key first.
QStringList FormColumns();

// One generated customer; the sort column is unique and unrelated to the key order.
struct Cliente {
    qint64 id = 0;
    QString cognome, nome, indirizzo, citta, email;
};
Cliente MakeCliente(qint64 id);

// The cached SQLite file of `rows` customers in `cacheDir`, built on first use.
QString SqliteFileFor(const QString& cacheDir, qint64 rows);

// Creates the customers table with `rows` rows on a server (dropped first).
void BuildServerTable(const QString& connectionString, qint64 rows);

// A Qt connection of its own to the same data; `connectionString` is ours
// ("Provider=SQLite;Data Source=...", "Provider=MySQL;..." or "Provider=PostgreSQL;...").
QSqlDatabase OpenQtConnection(const QString& connectionString, const QString& name);

// Another user: inserts customers whose sort value comes before every other.
class OtherUser {
public:
    OtherUser(const QString& connectionString, qint64 firstFreeId);
    ~OtherUser();
    void InsertFirstInOrder();
    // Removes what it inserted, so the next run sees the original table.
    void Undo();

private:
    QString mName;
    qint64 mNextId;
    qint64 mFirstId;
};

} // namespace bench

#include "BenchData.h"

#include "data/Database.h"

#include <QDir>
#include <QFile>
#include <QSqlError>
#include <QSqlQuery>
#include <array>
#include <sqlite3.h>
#include <stdexcept>

namespace bench {

namespace {

const std::array<const char*, 32> kCognomi = {
    "Rossi",    "Russo",  "Ferrari",  "Esposito", "Bianchi",  "Romano",  "Colombo", "Ricci",
    "Marino",   "Greco",  "Bruno",    "Gallo",    "Conti",    "DeLuca",  "Mancini", "Costa",
    "Giordano", "Rizzo",  "Lombardi", "Moretti",  "Barbieri", "Fontana", "Santoro", "Mariani",
    "Rinaldi",  "Caruso", "Ferrara",  "Galli",    "Martini",  "Leone",   "Longo",   "Gentile"};
const std::array<const char*, 16> kNomi = {
    "Marco",  "Giulia", "Luca",   "Sara",  "Paolo",  "Anna",  "Matteo",  "Chiara",
    "Andrea", "Elena",  "Davide", "Marta", "Simone", "Laura", "Stefano", "Irene"};
const std::array<const char*, 8> kCitta = {"Torino", "Milano", "Genova", "Bologna",
                                           "Roma",   "Napoli", "Bari",   "Palermo"};

const char* kCreateSqlite =
    "CREATE TABLE Clienti (IdCliente INTEGER PRIMARY KEY, Cognome VARCHAR(40) NOT NULL,"
    " Nome VARCHAR(30), Indirizzo VARCHAR(60), Citta VARCHAR(30), Email VARCHAR(60))";
const char* kCreateServer =
    "CREATE TABLE Clienti (IdCliente INT NOT NULL PRIMARY KEY, Cognome VARCHAR(40) NOT NULL,"
    " Nome VARCHAR(30), Indirizzo VARCHAR(60), Citta VARCHAR(30), Email VARCHAR(60),"
    " INDEX ix_Clienti_Cognome (Cognome)) ENGINE=InnoDB";
const char* kCreatePostgres =
    "CREATE TABLE Clienti (IdCliente INT NOT NULL PRIMARY KEY, Cognome VARCHAR(40) NOT NULL,"
    " Nome VARCHAR(30), Indirizzo VARCHAR(60), Citta VARCHAR(30), Email VARCHAR(60))";
const char* kIndex = "CREATE INDEX ix_Clienti_Cognome ON Clienti (Cognome)";

[[noreturn]] void Fail(const QString& what) {
    throw std::runtime_error(what.toStdString());
}

void Exec(sqlite3* db, const char* sql) {
    char* message = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &message) != SQLITE_OK) {
        const QString text = QString::fromUtf8(message ? message : "?");
        sqlite3_free(message);
        Fail(QStringLiteral("%1: %2").arg(QString::fromUtf8(sql), text));
    }
}

void BindText(sqlite3_stmt* st, int index, const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    sqlite3_bind_text(st, index, utf8.constData(), static_cast<int>(utf8.size()), SQLITE_TRANSIENT);
}

void InsertRows(sqlite3* db, qint64 rows) {
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db, "INSERT INTO Clienti VALUES (?1, ?2, ?3, ?4, ?5, ?6)", -1, &st,
                           nullptr) != SQLITE_OK)
        Fail(QString::fromUtf8(sqlite3_errmsg(db)));
    for (qint64 id = 1; id <= rows; ++id) {
        const Cliente c = MakeCliente(id);
        sqlite3_bind_int64(st, 1, c.id);
        BindText(st, 2, c.cognome);
        BindText(st, 3, c.nome);
        BindText(st, 4, c.indirizzo);
        BindText(st, 5, c.citta);
        BindText(st, 6, c.email);
        if (sqlite3_step(st) != SQLITE_DONE)
            Fail(QString::fromUtf8(sqlite3_errmsg(db)));
        sqlite3_reset(st);
    }
    sqlite3_finalize(st);
}

void BuildSqliteFile(const QString& path, qint64 rows) {
    const QString part = path + QStringLiteral(".part");
    QFile::remove(part);
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(part).constData(), &db,
                        SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK)
        Fail(QStringLiteral("cannot create %1").arg(part));
    try {
        // A throwaway file: no journal, no syncs, one transaction, the index last.
        Exec(db, "PRAGMA journal_mode=OFF");
        Exec(db, "PRAGMA synchronous=OFF");
        Exec(db, kCreateSqlite);
        Exec(db, "BEGIN");
        InsertRows(db, rows);
        Exec(db, "COMMIT");
        Exec(db, kIndex);
    } catch (...) {
        sqlite3_close(db);
        throw;
    }
    sqlite3_close(db);
    if (!QFile::rename(part, path))
        Fail(QStringLiteral("cannot rename %1").arg(part));
}

QString ServerValues(const Cliente& c) {
    auto quoted = [](const QString& s) { return QLatin1Char('\'') + s + QLatin1Char('\''); };
    return QStringLiteral("(%1,%2,%3,%4,%5,%6)")
        .arg(c.id)
        .arg(quoted(c.cognome), quoted(c.nome), quoted(c.indirizzo), quoted(c.citta),
             quoted(c.email));
}

void RunOrFail(QSqlQuery& q, const QString& sql) {
    if (!q.exec(sql))
        Fail(sql.left(120) + QStringLiteral(": ") + q.lastError().text());
}

} // namespace

QStringList FormColumns() {
    return {kKey, kSort, QStringLiteral("Nome"), QStringLiteral("Citta"), QStringLiteral("Email")};
}

Cliente MakeCliente(qint64 id) {
    // Multiplying by an odd constant modulo 2^32 is a bijection: unique sort values.
    const quint32 h = static_cast<quint32>(static_cast<quint64>(id) * 2654435761u);
    Cliente c;
    c.id = id;
    c.cognome = QStringLiteral("%1 %2")
                    .arg(QLatin1String(kCognomi[h % kCognomi.size()]))
                    .arg(h, 10, 10, QLatin1Char('0'));
    c.nome = QLatin1String(kNomi[(h >> 5) % kNomi.size()]);
    c.indirizzo = QStringLiteral("Via Roma %1").arg(1 + id % 300);
    c.citta = QLatin1String(kCitta[(h >> 9) % kCitta.size()]);
    c.email =
        c.nome.toLower() + QLatin1Char('.') + QString::number(id) + QStringLiteral("@example.com");
    return c;
}

QString SqliteFileFor(const QString& cacheDir, qint64 rows) {
    QDir().mkpath(cacheDir);
    const QString path = QDir(cacheDir).filePath(QStringLiteral("clienti-v1-%1.sqlite").arg(rows));
    if (!QFile::exists(path))
        BuildSqliteFile(path, rows);
    return path;
}

bool IsPostgres(const QString& connectionString) {
    return tessaro::ConnectionSettings::Parse(connectionString).provider ==
           QLatin1String("PostgreSQL");
}

QSqlDatabase OpenQtConnection(const QString& connectionString, const QString& name) {
    const auto s = tessaro::ConnectionSettings::Parse(connectionString);
    const bool sqlite = s.provider == QLatin1String("SQLite");
    QSqlDatabase db =
        QSqlDatabase::addDatabase(sqlite                         ? QStringLiteral("QSQLITE")
                                  : IsPostgres(connectionString) ? QStringLiteral("QPSQL")
                                                                 : QStringLiteral("QMYSQL"),
                                  name);
    if (sqlite) {
        db.setDatabaseName(s.dataSource);
    } else {
        db.setHostName(s.host);
        db.setPort(s.port);
        db.setDatabaseName(s.database);
        db.setUserName(s.user);
        db.setPassword(s.password);
    }
    if (!db.open())
        Fail(QStringLiteral("cannot open %1: %2").arg(connectionString, db.lastError().text()));
    return db;
}

void BuildServerTable(const QString& connectionString, qint64 rows) {
    const QString name = QStringLiteral("bench-build");
    {
        QSqlDatabase db = OpenQtConnection(connectionString, name);
        QSqlQuery q(db);
        const bool postgres = IsPostgres(connectionString);
        RunOrFail(q, QStringLiteral("DROP TABLE IF EXISTS Clienti"));
        RunOrFail(q, QString::fromLatin1(postgres ? kCreatePostgres : kCreateServer));
        db.transaction();
        constexpr qint64 batch = 1000;
        for (qint64 first = 1; first <= rows; first += batch) {
            QStringList values;
            for (qint64 id = first; id < first + batch && id <= rows; ++id)
                values << ServerValues(MakeCliente(id));
            RunOrFail(q, QStringLiteral("INSERT INTO Clienti VALUES ") + values.join(','));
        }
        db.commit();
        if (postgres) {
            RunOrFail(q, QString::fromLatin1(kIndex));
            // The planner's figures, as a table in use has them.
            RunOrFail(q, QStringLiteral("VACUUM ANALYZE Clienti"));
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
}

OtherUser::OtherUser(const QString& connectionString, qint64 firstFreeId)
    : mName(QStringLiteral("bench-other-user")), mNextId(firstFreeId), mFirstId(firstFreeId) {
    OpenQtConnection(connectionString, mName);
}

OtherUser::~OtherUser() {
    QSqlDatabase::database(mName, false).close();
    QSqlDatabase::removeDatabase(mName);
}

void OtherUser::InsertFirstInOrder() {
    QSqlQuery q(QSqlDatabase::database(mName, false));
    // "AAA" sorts before every generated surname, so every position moves by one.
    RunOrFail(q, QStringLiteral("INSERT INTO Clienti (IdCliente, Cognome, Nome) VALUES "
                                "(%1, 'AAA bench %1', 'Altro')")
                     .arg(mNextId));
    ++mNextId;
}

void OtherUser::Undo() {
    QSqlQuery q(QSqlDatabase::database(mName, false));
    RunOrFail(q, QStringLiteral("DELETE FROM Clienti WHERE IdCliente >= %1").arg(mFirstId));
    mNextId = mFirstId;
}

} // namespace bench

#include "SampleDatabase.h"

#include "data/Database.h"
#include "data/TessaroError.h"

#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <array>

// The scripts are compiled into this static library; naming the resource here
// keeps the linker from dropping it from the programs that use the library.
static void IniziaRisorseDemo() {
    Q_INIT_RESOURCE(demo);
}

namespace demo {

namespace {

const QStringList kTables = {QStringLiteral("Comuni"), QStringLiteral("Agenti"),
                             QStringLiteral("Clienti"), QStringLiteral("Ordini")};

// Where the scanner of a script is.
enum class ScanState { Code, Quoted, LineComment, BlockComment };

void AppendStatement(QStringList& out, const QString& text) {
    const QString s = text.trimmed();
    if (!s.isEmpty())
        out << s;
}

qint64 CountRows(tessaro::Connection& c, const QString& table) {
    QSqlQuery q(c.Database());
    if (!q.exec(QStringLiteral("SELECT COUNT(*) FROM ") + table) || !q.next())
        c.RaiseFromError(q.lastError(), q.lastQuery());
    return q.value(0).toLongLong();
}

// A small fixed generator (splitmix64): the same n gives the same number on
// every platform, which the standard distributions do not promise.
quint64 Mix(quint64 x) {
    x += 0x9E3779B97F4A7C15ULL;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ULL;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBULL;
    return x ^ (x >> 31);
}

template <std::size_t N> QString Pick(const std::array<const char*, N>& list, quint64 r) {
    return QString::fromUtf8(list[r % N]);
}

constexpr std::array<const char*, 40> kCognomi = {
    "Rossi",    "Russo",  "Ferrari",  "Esposito", "Bianchi",  "Romano",  "Colombo", "Ricci",
    "Marino",   "Greco",  "Bruno",    "Gallo",    "Conti",    "De Luca", "Mancini", "Costa",
    "Giordano", "Rizzo",  "Lombardi", "Moretti",  "Barbieri", "Fontana", "Santoro", "Mariani",
    "Rinaldi",  "Caruso", "Ferrara",  "Galli",    "Martini",  "Leone",   "Longo",   "Gentile",
    "D'Angelo", "Vitale", "Serra",    "Coppola",  "Parisi",   "Villa",   "Conte",   "D'Amico"};
constexpr std::array<const char*, 32> kNomi = {
    "Marco",    "Giulia",  "Alessandro", "Francesca", "Luca",    "Chiara",  "Matteo",
    "Sara",     "Andrea",  "Valentina",  "Davide",    "Martina", "Simone",  "Elena",
    "Federico", "Alessia", "Lorenzo",    "Giorgia",   "Paolo",   "Silvia",  "Stefano",
    "Laura",    "Roberto", "Anna",       "Giuseppe",  "Maria",   "Niccolò", "Paola",
    "Antonio",  "Roberta", "Giovanni",   "Federica"};
constexpr std::array<const char*, 12> kVie = {
    "Via Roma",     "Via Garibaldi",    "Corso Vittorio Emanuele",
    "Via Mazzini",  "Via Dante",        "Via Verdi",
    "Via Cavour",   "Viale dei Mille",  "Via Manzoni",
    "Corso Italia", "Via XX Settembre", "Via dell'Indipendenza"};

} // namespace

QStringList SplitSqlScript(const QString& script) {
    QStringList out;
    QString current;
    ScanState state = ScanState::Code;
    for (qsizetype i = 0; i < script.size(); ++i) {
        const QChar ch = script.at(i);
        const QChar next = i + 1 < script.size() ? script.at(i + 1) : QChar();
        switch (state) {
        case ScanState::Code:
            if (ch == u'\'') {
                state = ScanState::Quoted;
                current += ch;
            } else if (ch == u'-' && next == u'-') {
                state = ScanState::LineComment;
            } else if (ch == u'/' && next == u'*') {
                state = ScanState::BlockComment;
                ++i;
            } else if (ch == u';') {
                AppendStatement(out, current);
                current.clear();
            } else {
                current += ch;
            }
            break;
        case ScanState::Quoted:
            current += ch;
            if (ch == u'\'' && next == u'\'') {
                current += next; // a doubled apostrophe stays inside the text
                ++i;
            } else if (ch == u'\'') {
                state = ScanState::Code;
            }
            break;
        case ScanState::LineComment:
            if (ch == u'\n') {
                state = ScanState::Code;
                current += ch;
            }
            break;
        case ScanState::BlockComment:
            if (ch == u'*' && next == u'/') {
                state = ScanState::Code;
                ++i;
            }
            break;
        }
    }
    AppendStatement(out, current);
    return out;
}

QString ScriptText(const QString& name) {
    IniziaRisorseDemo();
    QFile f(QStringLiteral(":/demo/sql/") + name);
    if (!f.open(QIODevice::ReadOnly))
        tessaro::TessaroError::Raise(tessaro::Err::FileNotFound, f.fileName());
    return QString::fromUtf8(f.readAll());
}

QString SchemaScriptName(const QString& provider) {
    if (provider == QLatin1String("MySQL"))
        return QStringLiteral("schema-mysql.sql");
    if (provider == QLatin1String("PostgreSQL"))
        return QStringLiteral("schema-postgresql.sql");
    return QStringLiteral("schema-sqlite.sql");
}

QString SqliteConnectionString(const QString& file) {
    return QStringLiteral("Provider=SQLite;Data Source=") + file;
}

bool HasSampleTables(tessaro::Connection& connection) {
    const QStringList present = connection.Database().tables();
    for (const QString& t : kTables) {
        if (!present.contains(t, Qt::CaseInsensitive))
            return false;
    }
    return true;
}

bool PrepareSampleDatabase(tessaro::Connection& connection) {
    if (HasSampleTables(connection))
        return false;
    QStringList statements =
        SplitSqlScript(ScriptText(SchemaScriptName(connection.ProviderName())));
    statements << SplitSqlScript(ScriptText(QStringLiteral("sample-data.sql")));
    if (connection.ProviderName() == QLatin1String("PostgreSQL"))
        statements << SplitSqlScript(ScriptText(QStringLiteral("after-data-postgresql.sql")));
    for (const QString& s : statements)
        connection.Execute(s);
    return true;
}

GeneratedCustomer GenerateCustomer(quint64 n, int cityCount) {
    const quint64 r = Mix(n);
    GeneratedCustomer c;
    c.Cognome = Pick(kCognomi, r);
    c.Nome = Pick(kNomi, r >> 8);
    c.Indirizzo = Pick(kVie, r >> 16) + u' ' + QString::number(1 + (r >> 24) % 180);
    c.IdComune = 1 + static_cast<int>((r >> 32) % static_cast<quint64>(qMax(1, cityCount)));
    c.Telefono = QStringLiteral("3%1 %2 %3")
                     .arg(20 + (r >> 40) % 80)
                     .arg(100 + (r >> 20) % 900)
                     .arg(1000 + (r >> 4) % 9000);
    c.Attivo = (r >> 60) != 0; // one in sixteen is inactive
    return c;
}

qint64 GrowCustomers(tessaro::Connection& connection, qint64 rows) {
    const qint64 present = CountRows(connection, QStringLiteral("Clienti"));
    if (present >= rows)
        return 0;
    const int cities = static_cast<int>(CountRows(connection, QStringLiteral("Comuni")));
    QSqlDatabase db = connection.Database();
    db.transaction();
    QSqlQuery q(db);
    q.prepare(QStringLiteral("INSERT INTO Clienti (Cognome, Nome, Indirizzo, IdComune, Telefono, "
                             "Attivo) VALUES (?, ?, ?, ?, ?, ?)"));
    for (qint64 i = present; i < rows; ++i) {
        const GeneratedCustomer c = GenerateCustomer(static_cast<quint64>(i), cities);
        q.addBindValue(c.Cognome);
        q.addBindValue(c.Nome);
        q.addBindValue(c.Indirizzo);
        q.addBindValue(c.IdComune);
        q.addBindValue(c.Telefono);
        q.addBindValue(c.Attivo); // PostgreSQL takes no number for a Boolean
        if (!q.exec()) {
            const QSqlError error = q.lastError();
            db.rollback();
            connection.RaiseFromError(error, q.lastQuery());
        }
    }
    db.commit();
    return rows - present;
}

} // namespace demo

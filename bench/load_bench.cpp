// An office on one database: U user processes, each with the control on an
// offscreen form over the customers table sorted by surname, stepping R times a
// second for D seconds, a share W of the steps being an edit and save of a
// column that is neither the key nor the sort column; optionally another user
// inserting a customer every few seconds, and a login of lesser rights (on
// MariaDB one without the PROCESS privilege, on PostgreSQL a role that is not a
// superuser). It prints the step times, the steps done against those intended,
// the server's CPU and a check of every counter the users saw.
//
//   load_bench --users 20 --seconds 60 [--rate 1] [--write-share 0.1]
//              [--insert-every 10] [--no-process] [--rows 1000000]
//              [--engine mariadb|postgres|sqlite]
//
// The server is the one TESSARO_MARIADB or TESSARO_POSTGRES names
// (scripts/load-bench.sh starts throwaway ones); its CPU is read from /proc
// through TESSARO_MARIADB_PIDFILE or TESSARO_POSTGRES_DIR. --engine sqlite runs
// the users on one SQLite file instead.

#include "BenchData.h"
#include "BenchMeasure.h"

#include "control/Tessaro14_ML.h"
#include "data/Database.h"
#include "engine/clsADONavigator.h"
#include "host/MessageBox.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <random>
#include <sys/resource.h>
#include <unistd.h>

namespace bench {
namespace {

// Microseconds of the wall clock, comparable between the processes.
qint64 NowUs() {
    return std::chrono::duration_cast<std::chrono::microseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

void SleepUntilUs(qint64 t) {
    const qint64 wait = t - NowUs();
    if (wait > 0)
        QThread::usleep(static_cast<unsigned long>(wait));
}

struct Options {
    QString role; // "", "user" or "inserter" in a child process
    int index = 0;
    QString engine = QStringLiteral("mariadb");
    QString connectionString;
    int users = 5;
    double rate = 1;
    double writeShare = 0.1;
    double seconds = 60;
    double insertEvery = 0; // 0: nobody inserts
    bool noProcess = false;
    qint64 rows = 1000000;
    qint64 startUs = 0;
    QString cache = QDir::temp().filePath(QStringLiteral("tessaro-bench"));
};

Options Parse(const QStringList& args) {
    Options o;
    for (qsizetype i = 1; i < args.size(); ++i) {
        const QString& a = args[i];
        const auto next = [&] { return args.value(++i); };
        if (a == QLatin1String("--role"))
            o.role = next();
        else if (a == QLatin1String("--index"))
            o.index = next().toInt();
        else if (a == QLatin1String("--engine"))
            o.engine = next();
        else if (a == QLatin1String("--conn"))
            o.connectionString = next();
        else if (a == QLatin1String("--users"))
            o.users = next().toInt();
        else if (a == QLatin1String("--rate"))
            o.rate = next().toDouble();
        else if (a == QLatin1String("--write-share"))
            o.writeShare = next().toDouble();
        else if (a == QLatin1String("--seconds"))
            o.seconds = next().toDouble();
        else if (a == QLatin1String("--insert-every"))
            o.insertEvery = next().toDouble();
        else if (a == QLatin1String("--no-process"))
            o.noProcess = true;
        else if (a == QLatin1String("--rows"))
            o.rows = next().toLongLong();
        else if (a == QLatin1String("--start-us"))
            o.startUs = next().toLongLong();
        else if (a == QLatin1String("--cache"))
            o.cache = next();
        else
            Abort(QStringLiteral("unknown argument ") + a);
    }
    return o;
}

// Every box is answered Yes and counted: nobody sits at these forms.
class RisposteAutomatiche : public tessaro::MessageBoxService {
public:
    int Show(const QString& text, int, const QString&) override {
        ++mostrate;
        std::fprintf(stderr, "load_bench: a box: %s\n", qPrintable(text.left(120)));
        return tessaro::MsgAnswer::Yes;
    }
    int mostrate = 0;
};

double CpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// Waits until a time, handling what arrives meanwhile (counts coming back).
void AttendiFino(qint64 t) {
    for (qint64 resto = t - NowUs(); resto > 0; resto = t - NowUs()) {
        QEventLoop loop;
        QTimer::singleShot(static_cast<int>(std::min<qint64>(resto / 1000, 50)), &loop,
                           &QEventLoop::quit);
        loop.exec();
    }
}

// One user: "S t0 t1 kind count pending" for each step, then "C cpu-seconds peak-KiB boxes".
int RunUser(const Options& o) {
    RisposteAutomatiche risposte;
    tessaro::ScopedMessageBoxService scope(&risposte);
    tessaro::Connection conn;
    conn.Open(o.connectionString);
    QWidget form;
    form.setObjectName(QStringLiteral("frmClienti"));
    QLineEdit* email = nullptr;
    for (const QString& column : FormColumns()) {
        auto* e = new QLineEdit(&form);
        e->setObjectName(QStringLiteral("txt") + column);
        e->setProperty("Tag", QStringLiteral("#") + column);
        if (column == QLatin1String("Email"))
            email = e;
    }
    auto* ctl = new tessaro::Tessaro14_ML(&form);
    if (!ctl->AddFonteDati(&conn, kTable, &form, kSort, {}, QString(), QStringLiteral("#")))
        Abort(QStringLiteral("user %1 could not open the table").arg(o.index));
    ctl->TipoDatabase(conn.TipoDatabase());
    QObject::connect(ctl->Events(), &tessaro::Tessaro14_MLEvents::WriteConflict,
                     [](bool, int& risposta) { risposta = tessaro::MsgAnswer::Yes; });
    tessaro::clsADONavigator* nav = ctl->FonteDati();

    std::mt19937_64 caso(static_cast<quint64>(o.index) * 7919 + 17);
    std::uniform_real_distribution<double> unif(0, 1);
    nav->Move(static_cast<long>(1 + unif(caso) * static_cast<double>(o.rows - 1)));
    ctl->AggiornaStatoPulsanti();
    bool avanti = unif(caso) < 0.5;
    const qint64 periodo = static_cast<qint64>(1e6 / o.rate);
    const qint64 fine = o.startUs + static_cast<qint64>(o.seconds * 1e6);
    // Users start spread over the first period.
    qint64 prossimo = o.startUs + static_cast<qint64>(unif(caso) * static_cast<double>(periodo));
    QString righe;
    while (prossimo < fine) {
        AttendiFino(prossimo);
        const bool scrive = unif(caso) < o.writeShare;
        const qint64 t0 = NowUs();
        if (scrive) {
            ctl->Button(QStringLiteral("Modifica"))->trigger();
            email->setText(QStringLiteral("u%1.%2@example.com").arg(o.index).arg(t0));
            ctl->Button(QStringLiteral("Salva"))->trigger();
        } else {
            const auto stato = static_cast<tessaro::StatoNavigatore>(nav->State());
            if (stato == tessaro::StatoNavigatore::UltimoRecord)
                avanti = false;
            else if (stato == tessaro::StatoNavigatore::PrimoRecord)
                avanti = true;
            ctl->Button(avanti ? QStringLiteral("Successivo") : QStringLiteral("Precedente"))
                ->trigger();
        }
        const qint64 t1 = NowUs();
        bool inAttesa = false;
#if __has_include("engine/SorgenteRecord.h")
        inAttesa = nav->ConteggioInAttesa();
#endif
        righe += QStringLiteral("S %1 %2 %3 %4 %5\n")
                     .arg(t0)
                     .arg(t1)
                     .arg(scrive ? 'W' : 'M')
                     .arg(nav->RecordCount().toLongLong())
                     .arg(inAttesa ? 1 : 0);
        // A step that overran its period skips the steps it missed.
        prossimo += periodo;
        while (prossimo < t1)
            prossimo += periodo;
    }
    righe +=
        QStringLiteral("C %1 %2 %3\n").arg(CpuSeconds()).arg(PeakRssKiB()).arg(risposte.mostrate);
    std::fputs(righe.toUtf8().constData(), stdout);
    return 0;
}

// Another user who inserts a customer every few seconds: "I begin end" each.
int RunInserter(const Options& o) {
    QSqlDatabase db = OpenQtConnection(o.connectionString, QStringLiteral("inserter"));
    QSqlQuery q(db);
    const qint64 periodo = static_cast<qint64>(o.insertEvery * 1e6);
    const qint64 fine = o.startUs + static_cast<qint64>(o.seconds * 1e6);
    QString righe;
    qint64 id = 900000000;
    for (qint64 t = o.startUs + periodo / 2; t < fine; t += periodo) {
        SleepUntilUs(t);
        const qint64 t0 = NowUs();
        if (!q.exec(QStringLiteral("INSERT INTO Clienti (IdCliente, Cognome, Nome) VALUES "
                                   "(%1, 'Nuovo %1', 'Altro')")
                        .arg(++id)))
            Abort(QStringLiteral("insert: ") + q.lastError().text());
        righe += QStringLiteral("I %1 %2\n").arg(t0).arg(NowUs());
    }
    std::fputs(righe.toUtf8().constData(), stdout);
    return 0;
}

// --- the coordinator ---------------------------------------------------------------

struct Passo {
    qint64 t0, t1;
    bool scrive;
    qint64 conteggio;
    bool inAttesa;
};

struct Utente {
    std::vector<Passo> passi;
    double cpu = 0;
    double picco = 0;
    int scatole = 0;
};

bool IsPostgres(const Options& o) {
    return o.engine == QLatin1String("postgres");
}

const QString kUtenteBench = QStringLiteral("tessaro_bench");

// What gives the benchmark's own login its rights, created once: on MariaDB a
// user without PROCESS, on PostgreSQL a role that is not a superuser. The table
// is built again by some runs, so its grants are always given.
QStringList IstruzioniPerUtente(const Options& o, const QString& database) {
    if (IsPostgres(o))
        return {QStringLiteral("DO $$BEGIN IF NOT EXISTS (SELECT FROM pg_catalog.pg_roles "
                               "WHERE rolname = '%1') THEN CREATE ROLE %1 LOGIN PASSWORD 'bench'; "
                               "END IF; END$$")
                    .arg(kUtenteBench),
                QStringLiteral("GRANT SELECT, INSERT, UPDATE, DELETE ON %1 TO %2")
                    .arg(kTable, kUtenteBench)};
    return {QStringLiteral("CREATE USER IF NOT EXISTS '%1'@'%' IDENTIFIED BY 'bench'")
                .arg(kUtenteBench),
            QStringLiteral("GRANT SELECT, INSERT, UPDATE, DELETE ON %1.* TO '%2'@'%'")
                .arg(database, kUtenteBench)};
}

// The same connection string with another login in it.
QString ConAltroUtente(const QString& connectionString, const QString& user,
                       const QString& password) {
    QStringList parti;
    for (const QString& parte : connectionString.split(u';', Qt::SkipEmptyParts)) {
        const QString chiave = parte.section(u'=', 0, 0).trimmed().toLower();
        if (!QStringList{QStringLiteral("user"), QStringLiteral("user id"), QStringLiteral("uid"),
                         QStringLiteral("password"), QStringLiteral("pwd")}
                 .contains(chiave))
            parti << parte;
    }
    return (parti << QStringLiteral("User=") + user << QStringLiteral("Password=") + password)
        .join(u';');
}

QString ConnessioneSenzaPrivilegi(const Options& o, const QString& root) {
    QSqlDatabase db = OpenQtConnection(root, QStringLiteral("grants"));
    QSqlQuery q(db);
    for (const QString& sql :
         IstruzioniPerUtente(o, tessaro::ConnectionSettings::Parse(root).database)) {
        if (!q.exec(sql))
            Abort(sql + QStringLiteral(": ") + q.lastError().text());
    }
    return ConAltroUtente(root, kUtenteBench, QStringLiteral("bench"));
}

qint64 Righe(const QString& connectionString) {
    const QString nome = QStringLiteral("rows");
    qint64 righe = -1; // when there is no table yet
    {
        QSqlDatabase db = OpenQtConnection(connectionString, nome);
        QSqlQuery q(db);
        if (q.exec(QStringLiteral("SELECT COUNT(*) FROM Clienti")) && q.next())
            righe = q.value(0).toLongLong();
    }
    QSqlDatabase::removeDatabase(nome);
    return righe;
}

// The file holding the pid of the server's main process: mysqld's pid file, or
// PostgreSQL's postmaster.pid (the pid on its first line); empty for SQLite.
QString FilePidDelServer(const Options& o) {
    if (IsPostgres(o)) {
        const QString dir = qEnvironmentVariable("TESSARO_POSTGRES_DIR");
        return dir.isEmpty() ? QString() : dir + QStringLiteral("/data/postmaster.pid");
    }
    return o.engine == QLatin1String("mariadb") ? qEnvironmentVariable("TESSARO_MARIADB_PIDFILE")
                                                : QString();
}

// -1 when there is no server to watch.
qint64 PidDelServer(const Options& o) {
    QFile file(FilePidDelServer(o));
    if (file.fileName().isEmpty() || !file.open(QIODevice::ReadOnly))
        return -1;
    const qint64 pid = QString::fromLatin1(file.readLine()).trimmed().toLongLong();
    return pid > 0 ? pid : -1;
}

// The fields of /proc/PID/stat after the command name (which may hold spaces):
// the state first, then the parent's pid.
QStringList CampiStat(const QString& pid) {
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return {};
    const QString testo = QString::fromLatin1(stat.readAll());
    return testo.mid(testo.lastIndexOf(QLatin1Char(')')) + 2).split(u' ');
}

// User and system ticks of a process and of the children it has reaped (fields
// 14 to 17 of stat): a PostgreSQL backend that ends leaves its time to the
// postmaster that way.
double Ticks(const QStringList& campi) {
    double ticks = 0;
    for (int i = 11; i <= 14; ++i)
        ticks += campi.value(i).toDouble();
    return ticks;
}

// CPU seconds of the server: its main process and every process whose parent
// it is (PostgreSQL's backends and workers; MariaDB has only threads).
double CpuDelServer(qint64 pid) {
    const QStringList principale = pid > 0 ? CampiStat(QString::number(pid)) : QStringList();
    if (principale.isEmpty())
        return -1;
    double ticks = Ticks(principale);
    for (const QString& altro : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        const QStringList campi = altro.toLongLong() > 0 ? CampiStat(altro) : QStringList();
        if (campi.value(1).toLongLong() == pid)
            ticks += Ticks(campi);
    }
    return ticks / static_cast<double>(sysconf(_SC_CLK_TCK));
}

double Percentile(std::vector<double> v, double p) {
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    return v[static_cast<std::size_t>(p * static_cast<double>(v.size() - 1) + 0.5)];
}

QString Ms(double us) {
    return us >= 10000 ? QString::number(us / 1e6, 'f', 2) + QStringLiteral(" s")
                       : QString::number(us / 1e3, 'f', 1) + QStringLiteral(" ms");
}

std::unique_ptr<QProcess> Avvia(const Options& o, const QStringList& extra) {
    QStringList args = {QStringLiteral("--conn"),         o.connectionString,
                        QStringLiteral("--seconds"),      QString::number(o.seconds),
                        QStringLiteral("--start-us"),     QString::number(o.startUs),
                        QStringLiteral("--rows"),         QString::number(o.rows),
                        QStringLiteral("--rate"),         QString::number(o.rate),
                        QStringLiteral("--write-share"),  QString::number(o.writeShare),
                        QStringLiteral("--insert-every"), QString::number(o.insertEvery)};
    auto p = std::make_unique<QProcess>();
    p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p->start(QCoreApplication::applicationFilePath(), args + extra);
    return p;
}

// The table of `rows` customers on the server, as an earlier run left it or
// built again; returns the connection string the users log in with.
QString PreparaServer(const Options& o) {
    if (o.engine != QLatin1String("mariadb") && !IsPostgres(o))
        Abort(QStringLiteral("unknown engine ") + o.engine);
    const char* variabile = IsPostgres(o) ? "TESSARO_POSTGRES" : "TESSARO_MARIADB";
    const QString root = qEnvironmentVariable(variabile);
    if (root.isEmpty())
        Abort(QString::fromLatin1(variabile) + QStringLiteral(" is not set"));
    if (Righe(root) != o.rows)
        BuildServerTable(root, o.rows);
    else // the inserts of an earlier run go
        QSqlQuery(OpenQtConnection(root, QStringLiteral("clean")))
            .exec(QStringLiteral("DELETE FROM Clienti WHERE IdCliente > %1").arg(o.rows));
    return o.noProcess ? ConnessioneSenzaPrivilegi(o, root) : root;
}

const char* Login(const Options& o) {
    if (IsPostgres(o))
        return o.noProcess ? "no superuser" : "superuser";
    return o.noProcess ? "no PROCESS" : "root";
}

int RunCoordinator(Options o) {
    QTemporaryDir dir(QDir::temp().filePath(QStringLiteral("tessaro-load-XXXXXX")));
    if (o.engine == QLatin1String("sqlite")) {
        const QString copy = dir.filePath(QStringLiteral("clienti.sqlite"));
        if (!QFile::copy(SqliteFileFor(o.cache, o.rows), copy))
            Abort(QStringLiteral("cannot copy the SQLite file"));
        o.connectionString =
            QStringLiteral("Provider=SQLite;Data Source=%1;Busy Timeout=5000").arg(copy);
    } else {
        o.connectionString = PreparaServer(o);
    }
    const qint64 righeIniziali = Righe(o.connectionString);
    // Time for every process to open its form before the first step.
    o.startUs = NowUs() + static_cast<qint64>(8e6 + 0.5e6 * o.users);
    std::vector<std::unique_ptr<QProcess>> utenti;
    for (int i = 0; i < o.users; ++i)
        utenti.push_back(Avvia(o, {QStringLiteral("--role"), QStringLiteral("user"),
                                   QStringLiteral("--index"), QString::number(i)}));
    std::unique_ptr<QProcess> inseritore;
    if (o.insertEvery > 0)
        inseritore = Avvia(o, {QStringLiteral("--role"), QStringLiteral("inserter")});
    const qint64 pidServer = PidDelServer(o);
    SleepUntilUs(o.startUs);
    const double cpuPrima = CpuDelServer(pidServer);
    SleepUntilUs(o.startUs + static_cast<qint64>(o.seconds * 1e6));
    const double cpuDopo = CpuDelServer(pidServer);

    std::vector<Utente> tutti;
    for (auto& p : utenti) {
        if (!p->waitForFinished(-1) || p->exitCode() != 0)
            Abort(QStringLiteral("a user process failed"));
        Utente u;
        for (const QString& riga : QString::fromUtf8(p->readAllStandardOutput()).split(u'\n')) {
            const QStringList c = riga.split(u' ');
            if (c.value(0) == QLatin1String("S"))
                u.passi.push_back({c[1].toLongLong(), c[2].toLongLong(), c[3] == QLatin1String("W"),
                                   c[4].toLongLong(), c[5] == QLatin1String("1")});
            else if (c.value(0) == QLatin1String("C")) {
                u.cpu = c[1].toDouble();
                u.picco = c[2].toDouble();
                u.scatole = c[3].toInt();
            }
        }
        tutti.push_back(std::move(u));
    }
    std::vector<std::pair<qint64, qint64>> inserimenti;
    if (inseritore) {
        inseritore->waitForFinished(-1);
        for (const QString& riga :
             QString::fromUtf8(inseritore->readAllStandardOutput()).split(u'\n')) {
            const QStringList c = riga.split(u' ');
            if (c.value(0) == QLatin1String("I"))
                inserimenti.emplace_back(c[1].toLongLong(), c[2].toLongLong());
        }
    }

    // The counter check: an unmarked count lies between the rows whose inserts
    // had finished when the step began and those whose inserts had begun when it ended.
    std::vector<double> mosse, scritture;
    long fatti = 0, segnati = 0, sbagliati = 0, scatole = 0;
    double segnatoMax = 0, cpuUtenti = 0, piccoMax = 0;
    for (const Utente& u : tutti) {
        qint64 segnatoDa = -1;
        for (const Passo& p : u.passi) {
            ++fatti;
            (p.scrive ? scritture : mosse).push_back(static_cast<double>(p.t1 - p.t0));
            if (p.inAttesa) {
                ++segnati;
                if (segnatoDa < 0)
                    segnatoDa = p.t0;
                continue;
            }
            if (segnatoDa >= 0)
                segnatoMax = std::max(segnatoMax, static_cast<double>(p.t1 - segnatoDa) / 1e6);
            segnatoDa = -1;
            qint64 finiti = 0, iniziati = 0;
            for (const auto& [b, e] : inserimenti) {
                finiti += e <= p.t0;
                iniziati += b <= p.t1;
            }
            if (p.conteggio < righeIniziali + finiti || p.conteggio > righeIniziali + iniziati) {
                ++sbagliati;
                std::fprintf(stderr, "load_bench: a count of %lld at %lld-%lld, not %lld-%lld\n",
                             p.conteggio, p.t0 - o.startUs, p.t1 - o.startUs,
                             righeIniziali + finiti, righeIniziali + iniziati);
            }
        }
        cpuUtenti += u.cpu;
        piccoMax = std::max(piccoMax, u.picco);
        scatole += u.scatole;
    }
    const long voluti = static_cast<long>(o.users * o.rate * o.seconds);
    const double server = cpuPrima >= 0 && cpuDopo >= 0 ? (cpuDopo - cpuPrima) / o.seconds : -1;
    std::printf(
        "| %s | %d | %s | %s | %ld / %ld | %s | %s | %s | %s | %s | %s | %s | %ld | %.1f s | "
        "%ld | %ld | %.0f MiB |\n",
        qPrintable(o.engine), o.users, Login(o),
        o.insertEvery > 0 ? qPrintable(QStringLiteral("every %1 s").arg(o.insertEvery)) : "none",
        fatti, voluti, qPrintable(Ms(Percentile(mosse, 0.5))),
        qPrintable(Ms(Percentile(mosse, 0.95))), qPrintable(Ms(Percentile(mosse, 0.99))),
        qPrintable(Ms(Percentile(mosse, 1.0))), qPrintable(Ms(Percentile(scritture, 0.5))),
        server >= 0 ? qPrintable(QString::number(server, 'f', 2)) : "-",
        qPrintable(QString::number(cpuUtenti / o.seconds / std::max(1, o.users), 'f', 3)), segnati,
        segnatoMax, sbagliati, scatole, piccoMax / 1024);
    std::fflush(stdout);
    return 0;
}

} // namespace
} // namespace bench

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const bench::Options o = bench::Parse(QCoreApplication::arguments());
    if (o.role == QLatin1String("user"))
        return bench::RunUser(o);
    if (o.role == QLatin1String("inserter"))
        return bench::RunInserter(o);
    return bench::RunCoordinator(o);
}

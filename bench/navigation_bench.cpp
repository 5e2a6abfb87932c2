// Navigation benchmark: our navigator against Qt's QSqlTableModel +
// QDataWidgetMapper over the same customers table, at several sizes.
//
//   navigation_bench [--sizes 10000,100000,1000000] [--cache DIR] [--quick]
//                    [--server-rows 100000,1000000] [--no-server] [--no-peer]
//
// To profile one side's steps alone (under perf, for instance):
//   navigation_bench --child ours --conn "Provider=SQLite;Data Source=F" --rows N
//                    --steps-only 100000
//
// Each side runs in a child process of its own (--child ours|peer ...), so
// that the peak memory of one does not hide in the other's. With
// TESSARO_MARIADB or TESSARO_POSTGRES set (scripts/mariadb-test-server.sh,
// scripts/postgres-test-server.sh) a table on that server is measured too.

#include "BenchData.h"
#include "BenchReport.h"
#include "BenchSides.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>
#include <cstring>
#include <exception>

namespace bench {

namespace {

struct Options {
    QString child; // "ours" or "peer" in a child process
    QString connectionString;
    qint64 rows = 0;
    int tipoDatabase = 4;
    QList<qint64> sizes = {10000, 100000, 1000000};
    QString cache = QDir::temp().filePath(QStringLiteral("tessaro-bench"));
    QList<qint64> serverSizes = {100000};
    bool server = true;
    bool quick = false;
    bool peer = true; // false: our side only (sizes the peer cannot hold in memory)
    long stepsOnly = 0;
};

QList<qint64> ParseSizes(const QString& text) {
    QList<qint64> sizes;
    for (const QString& s : text.split(QLatin1Char(','), Qt::SkipEmptyParts))
        sizes << s.trimmed().toLongLong();
    return sizes;
}

Options ParseOptions(const QStringList& args) {
    Options o;
    for (qsizetype i = 1; i < args.size(); ++i) {
        const QString& a = args[i];
        const QString next = args.value(i + 1);
        auto take = [&] {
            ++i;
            return next;
        };
        if (a == QLatin1String("--child"))
            o.child = take();
        else if (a == QLatin1String("--conn"))
            o.connectionString = take();
        else if (a == QLatin1String("--rows"))
            o.rows = take().toLongLong();
        else if (a == QLatin1String("--kind"))
            o.tipoDatabase = take().toInt();
        else if (a == QLatin1String("--sizes"))
            o.sizes = ParseSizes(take());
        else if (a == QLatin1String("--cache"))
            o.cache = take();
        else if (a == QLatin1String("--server-rows"))
            o.serverSizes = ParseSizes(take());
        else if (a == QLatin1String("--no-server"))
            o.server = false;
        else if (a == QLatin1String("--quick"))
            o.quick = true;
        else if (a == QLatin1String("--no-peer"))
            o.peer = false;
        else if (a == QLatin1String("--steps-only"))
            o.stepsOnly = take().toLong();
        else
            Abort(QStringLiteral("unknown argument ") + a);
    }
    return o;
}

int RunChild(const Options& o) {
    const Config c{o.connectionString, o.rows, o.tipoDatabase, o.quick};
    auto side = o.child == QLatin1String("ours") ? MakeOurs(c) : MakePeer(c);
    if (o.stepsOnly > 0)
        StepOnly(*side, c, o.stepsOnly);
    else
        PrintResults(RunSide(*side, c));
    return 0;
}

Results RunInChild(const QString& which, const Options& o, const QString& connectionString,
                   qint64 rows, int tipoDatabase) {
    QStringList args = {QStringLiteral("--child"), which,
                        QStringLiteral("--conn"),  connectionString,
                        QStringLiteral("--rows"),  QString::number(rows),
                        QStringLiteral("--kind"),  QString::number(tipoDatabase)};
    if (o.quick)
        args << QStringLiteral("--quick");
    QProcess p;
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p.start(QCoreApplication::applicationFilePath(), args);
    if (!p.waitForFinished(-1) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        Abort(QStringLiteral("the %1 side failed on %2 rows").arg(which).arg(rows));
    return ParseResults(QString::fromUtf8(p.readAllStandardOutput()));
}

void Print(const QString& text) {
    std::fputs(text.toUtf8().constData(), stdout);
    std::fflush(stdout);
}

// Each side gets its own copy of the cached file, so neither sees the other's writes.
Results RunSqliteSide(const QString& which, const Options& o, const QString& file, qint64 rows) {
    QTemporaryDir dir(QDir::temp().filePath(QStringLiteral("tessaro-bench-run-XXXXXX")));
    const QString copy = dir.filePath(which + QStringLiteral(".sqlite"));
    if (!QFile::copy(file, copy))
        Abort(QStringLiteral("cannot copy %1").arg(file));
    return RunInChild(which, o, QStringLiteral("Provider=SQLite;Data Source=") + copy, rows, 4);
}

void RunSqlite(const Options& o, qint64 rows) {
    const QString file = SqliteFileFor(o.cache, rows);
    const Results ours = RunSqliteSide(QStringLiteral("ours"), o, file, rows);
    const Results peer = o.peer ? RunSqliteSide(QStringLiteral("peer"), o, file, rows) : Results();
    Print(ComparisonTable(QStringLiteral("SQLite, %L1 rows").arg(rows), ours, peer));
}

// A server engine: its name, the variable that gives its test server, its kind.
struct Server {
    const char* name;
    const char* variable;
    int kind;
};

void RunServer(const Options& o, const Server& server, const QString& connectionString,
               qint64 rows) {
    BuildServerTable(connectionString, rows);
    const Results ours = RunInChild(QStringLiteral("ours"), o, connectionString, rows, server.kind);
    const Results peer =
        o.peer ? RunInChild(QStringLiteral("peer"), o, connectionString, rows, server.kind)
               : Results();
    Print(ComparisonTable(QStringLiteral("%1, %L2 rows").arg(QLatin1String(server.name)).arg(rows),
                          ours, peer));
}

int RunAll(const Options& o) {
    Print(QStringLiteral("## Navigation benchmark\n\n%1\n\n").arg(MachineHeading()));
    for (qint64 rows : o.sizes)
        RunSqlite(o, rows);
    for (const Server& server :
         {Server{"MariaDB", "TESSARO_MARIADB", 2}, Server{"PostgreSQL", "TESSARO_POSTGRES", 5}}) {
        const QString connectionString = qEnvironmentVariable(server.variable);
        if (!o.server || connectionString.isEmpty()) {
            Print(QStringLiteral("(%1 skipped: %2 is not set)\n")
                      .arg(QLatin1String(server.name), QLatin1String(server.variable)));
            continue;
        }
        for (qint64 rows : o.serverSizes)
            RunServer(o, server, connectionString, rows);
    }
    return 0;
}

bool IsChild(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--child") == 0)
            return true;
    }
    return false;
}

} // namespace

} // namespace bench

int main(int argc, char** argv) {
    using namespace bench;
    try {
        if (IsChild(argc, argv)) {
            if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
                qputenv("QT_QPA_PLATFORM", "offscreen");
            QApplication app(argc, argv);
            return RunChild(ParseOptions(app.arguments()));
        }
        QCoreApplication app(argc, argv);
        return RunAll(ParseOptions(app.arguments()));
    } catch (const std::exception& e) {
        Abort(QString::fromUtf8(e.what()));
    }
}

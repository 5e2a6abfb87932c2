#include "BenchReport.h"

#include <QDateTime>
#include <QFile>
#include <QSysInfo>
#include <QThread>

namespace bench {

namespace {

QString CpuModel() {
    QFile f(QStringLiteral("/proc/cpuinfo"));
    if (f.open(QIODevice::ReadOnly)) {
        for (const QByteArray& line : f.readAll().split('\n')) {
            if (line.startsWith("model name"))
                return QString::fromUtf8(line.mid(line.indexOf(':') + 1).trimmed());
        }
    }
    return QStringLiteral("unknown CPU");
}

// The 1, 5 and 15 minute load averages: figures taken on a busy machine are slower.
QString LoadAverage() {
    QFile f(QStringLiteral("/proc/loadavg"));
    if (!f.open(QIODevice::ReadOnly))
        return QStringLiteral("unknown");
    return QString::fromLatin1(f.readAll()).section(QLatin1Char(' '), 0, 2);
}

QString Number(double v) {
    if (v < 0)
        return QStringLiteral("-");
    if (v < 10)
        return QString::number(v, 'f', 2);
    if (v < 100)
        return QString::number(v, 'f', 1);
    return QString::number(v, 'f', 0);
}

double Get(const Results& r, const std::string& name, double scale = 1) {
    const auto it = r.find(name);
    return it == r.end() ? -1 : it->second * scale;
}

QString Ratio(double ours, double peer) {
    if (ours < 0 || peer <= 0)
        return QStringLiteral("-");
    return QString::number(ours / peer, 'f', ours / peer < 0.1 ? 3 : 2);
}

QString Row(const QString& measure, double ours, double peer, const QString& note = QString()) {
    return QStringLiteral("| %1 | %2 | %3 | %4 | %5 |\n")
        .arg(measure, Number(ours), Number(peer), Ratio(ours, peer), note);
}

QString Samples(const Results& r, const std::string& name) {
    return QString::number(Get(r, name + "_n"));
}

} // namespace

QString MachineHeading() {
    return QStringLiteral("%1, %2 cores (nproc), %3, %4, load average %5")
        .arg(QDateTime::currentDateTime().toString(Qt::ISODate))
        .arg(QThread::idealThreadCount())
        .arg(CpuModel(), QSysInfo::prettyProductName(), LoadAverage());
}

QString ComparisonTable(const QString& title, const Results& ours, const Results& peer) {
    QString t = QStringLiteral("### %1\n\n| measure | ours | peer | ours/peer | note |\n"
                               "|---|---:|---:|---:|---|\n")
                    .arg(title);
    t += Row(QStringLiteral("open-to-last (ms)"), Get(ours, "open_us", 1e-3),
             Get(peer, "open_us", 1e-3));
    t += Row(QStringLiteral("next/previous step (µs)"), Get(ours, "step_us"), Get(peer, "step_us"));
    const bool peerSees = Get(peer, "changed_seen") > 0;
    t += Row(QStringLiteral("step after another connection inserted a row (µs)"),
             Get(ours, "changed_us"), Get(peer, "changed_us"),
             peerSees ? QString() : QStringLiteral("peer does not see the row"));
    t += Row(QStringLiteral("MoveTo existing key (µs)"), Get(ours, "moveto_us"),
             Get(peer, "moveto_us"), QStringLiteral("peer: match() + setCurrentIndex"));
    t += Row(QStringLiteral("Move(n) (µs)"), Get(ours, "move_us"), Get(peer, "move_us"));
    t += Row(QStringLiteral("peak memory of the process (MiB)"), Get(ours, "peak_kib", 1.0 / 1024),
             Get(peer, "peak_kib", 1.0 / 1024));
    t += Row(QStringLiteral("process before opening (MiB)"), Get(ours, "base_kib", 1.0 / 1024),
             Get(peer, "base_kib", 1.0 / 1024));
    t += Row(QStringLiteral("heap kept per row (B)"), Get(ours, "heap_per_row"),
             Get(peer, "heap_per_row"));
    t += QStringLiteral("\nMedians; samples ours/peer: open %1/%2, step %3/%4, after insert %5/%6, "
                        "MoveTo %7/%8, Move %9/%10.\n\n")
             .arg(Samples(ours, "open"), Samples(peer, "open"), Samples(ours, "step"),
                  Samples(peer, "step"), Samples(ours, "changed"), Samples(peer, "changed"),
                  Samples(ours, "moveto"), Samples(peer, "moveto"), Samples(ours, "move"))
             .arg(Samples(peer, "move"));
    if (ours.count("part_record_us"))
        t += QStringLiteral("Parts of one of our steps (µs, medians, each timed alone): connection "
                            "probe %1, change signal %2, seek of the neighbour %3, record read %4, "
                            "showing it %5, of which any form's five setText %6.\n\n")
                 .arg(Number(Get(ours, "part_probe_us")), Number(Get(ours, "part_signal_us")),
                      Number(Get(ours, "part_seek_us")), Number(Get(ours, "part_record_us")),
                      Number(Get(ours, "part_show_us")), Number(Get(ours, "part_settext_us")));
    if (ours.count("part_count_us"))
        t += QStringLiteral("After a change by others the count is taken again off the "
                            "user-interface thread: %1 ms on its own connection.\n\n")
                 .arg(Number(Get(ours, "part_count_us", 1e-3)));
    return t;
}

} // namespace bench

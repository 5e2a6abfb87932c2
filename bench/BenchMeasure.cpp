#include "BenchMeasure.h"

#include <QFile>
#include <QStringList>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <malloc.h>

namespace bench {

double TimeUs(const std::function<void()>& fn) {
    const auto t0 = Clock::now();
    fn();
    const auto t1 = Clock::now();
    return std::chrono::duration<double, std::micro>(t1 - t0).count();
}

double Median(std::vector<double> values) {
    if (values.empty())
        return -1;
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

std::vector<double> Sample(const Sampling& s, const std::function<void(int)>& sample,
                           const std::function<void(int)>& check,
                           const std::function<void(int)>& prepare) {
    std::vector<double> out;
    const auto start = Clock::now();
    for (int i = 0; i < s.maxRuns; ++i) {
        const double elapsed = std::chrono::duration<double>(Clock::now() - start).count();
        if (i >= s.minRuns && elapsed > s.budgetSeconds)
            break;
        if (prepare)
            prepare(i);
        out.push_back(TimeUs([&] { sample(i); }));
        if (check)
            check(i);
    }
    return out;
}

long PeakRssKiB() {
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : f.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

double HeapInUse() {
    const struct mallinfo2 m = mallinfo2();
    return static_cast<double>(m.uordblks + m.hblkhd);
}

void PrintResults(const Results& r) {
    for (const auto& [name, value] : r)
        std::printf("%s %.6g\n", name.c_str(), value);
    std::fflush(stdout);
}

Results ParseResults(const QString& text) {
    Results r;
    for (const QString& line : text.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const QStringList parts = line.trimmed().split(QLatin1Char(' '));
        bool ok = false;
        const double v = parts.value(1).toDouble(&ok);
        if (parts.size() == 2 && ok)
            r[parts[0].toStdString()] = v;
    }
    return r;
}

void Abort(const QString& why) {
    std::fprintf(stderr, "navigation_bench: %s\n", why.toLocal8Bit().constData());
    std::fflush(stderr);
    std::exit(2);
}

} // namespace bench

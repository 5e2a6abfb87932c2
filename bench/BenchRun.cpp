#include "BenchData.h"
#include "BenchSides.h"

#include <QSqlQuery>
#include <random>

namespace bench {

namespace {

// The key of the last record in sort order, asked on a connection of its own.
qint64 LastKeyInOrder(const Config& c) {
    const QString name = QStringLiteral("bench-check");
    qint64 key = 0;
    {
        QSqlDatabase db = OpenQtConnection(c.connectionString, name);
        QSqlQuery q(db);
        if (!q.exec(QStringLiteral("SELECT %1 FROM %2 ORDER BY %3 DESC LIMIT 1")
                        .arg(kKey, kTable, kSort)) ||
            !q.next())
            Abort(QStringLiteral("cannot read the last key"));
        key = q.value(0).toLongLong();
    }
    QSqlDatabase::removeDatabase(name);
    return key;
}

Sampling Budget(const Config& c, int minRuns, int maxRuns, double seconds) {
    if (c.quick)
        return {std::min(minRuns, 3), std::min(maxRuns, 10), seconds / 5};
    return {minRuns, maxRuns, seconds};
}

void Store(Results& r, const std::string& name, const std::vector<double>& us) {
    r[name + "_us"] = Median(us);
    r[name + "_n"] = static_cast<double>(us.size());
}

void MeasureOpen(Side& side, const Config& c, Results& r, double& heapBefore) {
    const qint64 last = LastKeyInOrder(c);
    const auto us = Sample(
        Budget(c, 3, 5, 20), [&](int) { side.Open(); },
        [&](int) {
            if (side.ShownKey() != last)
                Abort(QStringLiteral("open did not show the last record (%1, expected %2)")
                          .arg(side.ShownKey())
                          .arg(last));
        },
        [&](int i) {
            if (i > 0)
                side.Close();
            heapBefore = HeapInUse();
        });
    Store(r, "open", us);
}

// From the middle of the list, runs of 50 steps forward then 50 back: each
// step reads a record other than the last few, as when browsing.
void MeasureSteps(Side& side, const Config& c, Results& r) {
    constexpr int run = 50;
    side.Move(c.rows / 2);
    const qint64 start = side.Position();
    qint64 expected = start;
    const auto us = Sample(
        Budget(c, 2 * run, 4 * run, 5),
        [&](int i) { (i / run) % 2 == 0 ? side.Next() : side.Previous(); },
        [&](int i) {
            expected += (i / run) % 2 == 0 ? 1 : -1;
            if (side.Position() != expected)
                Abort(QStringLiteral("a step went to %1 instead of %2")
                          .arg(side.Position())
                          .arg(expected));
        });
    Store(r, "step", us);
}

// One step right after another connection inserted a row before the current one.
void MeasureStepAfterInsert(Side& side, const Config& c, Results& r, OtherUser& other) {
    int inserted = 0;
    bool seen = true;
    const auto us = Sample(
        Budget(c, 5, 20, 10), [&](int i) { i % 2 == 0 ? side.Next() : side.Previous(); },
        [&](int) { seen = seen && side.Count() == c.rows + inserted; },
        [&](int) {
            other.InsertFirstInOrder();
            ++inserted;
        });
    Store(r, "changed", us);
    r["changed_seen"] = seen ? 1 : 0;
}

void MeasureMoveTo(Side& side, const Config& c, Results& r, std::mt19937_64& random) {
    std::uniform_int_distribution<qint64> keys(1, c.rows);
    qint64 key = 0;
    side.MoveTo(keys(random)); // the first search may build what later ones use
    const auto us = Sample(
        Budget(c, 10, 100, 5), [&](int) { side.MoveTo(key); },
        [&](int) {
            if (side.ShownKey() != key)
                Abort(QStringLiteral("MoveTo(%1) showed %2").arg(key).arg(side.ShownKey()));
        },
        [&](int) { key = keys(random); });
    Store(r, "moveto", us);
}

void MeasureMove(Side& side, const Config& c, Results& r, std::mt19937_64& random) {
    std::uniform_int_distribution<qint64> positions(1, side.Count());
    qint64 position = 0;
    const auto us = Sample(
        Budget(c, 10, 200, 4), [&](int) { side.Move(position); },
        [&](int) {
            if (side.Position() != position)
                Abort(QStringLiteral("Move(%1) went to %2").arg(position).arg(side.Position()));
        },
        [&](int) { position = positions(random); });
    Store(r, "move", us);
}

} // namespace

Results RunSide(Side& side, const Config& c) {
    Results r;
    r["rows"] = static_cast<double>(c.rows);
    r["base_kib"] = static_cast<double>(PeakRssKiB());
    double heapBefore = 0;
    MeasureOpen(side, c, r, heapBefore);
    MeasureSteps(side, c, r);
    OtherUser other(c.connectionString, c.rows + 1);
    MeasureStepAfterInsert(side, c, r, other);
    std::mt19937_64 random(20240611);
    MeasureMoveTo(side, c, r, random);
    MeasureMove(side, c, r, random);
    r["heap_per_row"] = (HeapInUse() - heapBefore) / static_cast<double>(c.rows);
    r["peak_kib"] = static_cast<double>(PeakRssKiB());
    r.merge(side.StepParts());
    other.Undo();
    return r;
}

void StepOnly(Side& side, const Config& c, long steps) {
    side.Open();
    side.Move(c.rows / 2);
    for (long i = 0; i < steps; ++i)
        (i / 50) % 2 == 0 ? side.Next() : side.Previous();
}

} // namespace bench

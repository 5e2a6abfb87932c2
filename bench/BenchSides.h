#pragma once

// The two sides of the comparison behind one interface, so that both are
// measured by the same code: our navigator on an offscreen form, and Qt's
// QSqlTableModel + QDataWidgetMapper over the same table.

#include "BenchMeasure.h"

#include <QString>
#include <memory>

namespace bench {

struct Config {
    QString connectionString; // ours: "Provider=SQLite;Data Source=..." or "Provider=MySQL;..."
    qint64 rows = 0;
    int tipoDatabase = 4;
    bool quick = false; // fewer samples, for a smoke run
};

class Side {
public:
    virtual ~Side() = default;
    // Opens on the table sorted by the sort column and shows the last record.
    virtual void Open() = 0;
    virtual void Close() = 0;
    virtual void Next() = 0;
    virtual void Previous() = 0;
    virtual void MoveTo(qint64 key) = 0;
    virtual void Move(qint64 position) = 0; // 1-based
    virtual qint64 ShownKey() const = 0;
    virtual qint64 Position() const = 0; // 1-based
    virtual qint64 Count() const = 0;
    // Medians of the parts a step is made of ("part_..._us"), where the side can tell.
    virtual Results StepParts() { return {}; }
};

std::unique_ptr<Side> MakeOurs(const Config& c);
std::unique_ptr<Side> MakePeer(const Config& c);

// Runs every measurement on one side and returns what it found.
Results RunSide(Side& side, const Config& c);

// Opens and then only steps back and forth, `steps` times: something to profile.
void StepOnly(Side& side, const Config& c, long steps);

} // namespace bench

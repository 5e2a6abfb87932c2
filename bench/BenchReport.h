#pragma once

#include "BenchMeasure.h"

#include <QString>

namespace bench {

// The machine and the date, as a heading for the tables.
QString MachineHeading();

// One markdown table comparing the two sides of one data set.
QString ComparisonTable(const QString& title, const Results& ours, const Results& peer);

} // namespace bench

#pragma once

// Timing, memory readings and the key/value lines a child process reports.

#include <QString>
#include <chrono>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace bench {

using Clock = std::chrono::steady_clock;

// Microseconds spent in fn.
double TimeUs(const std::function<void()>& fn);

double Median(std::vector<double> values);

// Runs sample() at least minRuns and at most maxRuns times, stopping early once
// budgetSeconds have passed; returns the microseconds of each run. prepare()
// runs before and check() after each sample, both outside the timing.
struct Sampling {
    int minRuns = 5;
    int maxRuns = 200;
    double budgetSeconds = 5;
};
std::vector<double> Sample(const Sampling& s, const std::function<void(int)>& sample,
                           const std::function<void(int)>& check = nullptr,
                           const std::function<void(int)>& prepare = nullptr);

// Peak resident set of this process (VmHWM), in KiB.
long PeakRssKiB();
// Heap bytes in use now (small and mapped blocks).
double HeapInUse();

// What a child measured: name -> value, one "name value" line each.
using Results = std::map<std::string, double>;
void PrintResults(const Results& r);
Results ParseResults(const QString& text);

// Stops the run with a message on stderr.
[[noreturn]] void Abort(const QString& why);

} // namespace bench

#pragma once
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <algorithm>
#include <chrono>
#include <functional>
#include <vector>

// vardel-bench: each bench/*.cpp registers its benchmarks with VARDEL_BENCH; the binary runs
// all of them, or those whose names contain an argument.
class LogStore;

namespace bench {

using Fn = std::function<void()>;
void registerBench(const char *name, Fn fn);

// Median and 99th percentile of per-call times, in microseconds.
struct Stats {
    double median = 0, p99 = 0, max = 0;
};
Stats summarise(std::vector<double> micros);
void report(const QString &what, const Stats &stats);
void reportOnce(const QString &what, double millis);

template <typename F>
double timeMicros(F &&f)
{
    const auto start = std::chrono::steady_clock::now();
    f();
    return std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count();
}

// A log of `n` records built from realistic calls (US, Canadian and DX), deterministic.
struct RealisticCalls {
    static QStringList calls(int n);
};

// The bytes of a log file of `calls`: US stations send a state, others a country.
QByteArray fullLogBytes(const QStringList &calls);

// Writes a log of `calls` into `dir` as log.txt and loads it into `store`; false on failure.
bool loadFullLog(const QString &dir, const QStringList &calls, LogStore &store);

struct Registrar {
    Registrar(const char *name, Fn fn) { registerBench(name, std::move(fn)); }
};
}  // namespace bench

#define VARDEL_BENCH_CAT2(a, b) a##b
#define VARDEL_BENCH_CAT(a, b) VARDEL_BENCH_CAT2(a, b)
#define VARDEL_BENCH(name) \
    static void VARDEL_BENCH_CAT(bench_fn_, __LINE__)(); \
    static bench::Registrar VARDEL_BENCH_CAT(bench_reg_, __LINE__)(name, VARDEL_BENCH_CAT(bench_fn_, __LINE__)); \
    static void VARDEL_BENCH_CAT(bench_fn_, __LINE__)()

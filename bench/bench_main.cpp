#include "bench.h"

#include <QApplication>
#include <QRandomGenerator>
#include <QTextStream>

#include <cstdio>
#include <utility>

namespace bench {

static std::vector<std::pair<const char *, Fn>> &registry()
{
    static std::vector<std::pair<const char *, Fn>> r;
    return r;
}

void registerBench(const char *name, Fn fn) { registry().emplace_back(name, std::move(fn)); }

Stats summarise(std::vector<double> micros)
{
    Stats s;
    if (micros.empty())
        return s;
    std::sort(micros.begin(), micros.end());
    s.median = micros[micros.size() / 2];
    s.p99 = micros[std::min(micros.size() - 1, size_t(double(micros.size()) * 0.99))];
    s.max = micros.back();
    return s;
}

void report(const QString &what, const Stats &stats)
{
    std::printf("%-60s median %9.2f us   p99 %9.2f us   max %9.2f us\n", qPrintable(what),
                stats.median, stats.p99, stats.max);
    std::fflush(stdout);
}

void reportOnce(const QString &what, double millis)
{
    std::printf("%-60s %9.2f ms\n", qPrintable(what), millis);
    std::fflush(stdout);
}

QStringList RealisticCalls::calls(int n)
{
    static const char *prefixes[] = {"K", "W", "N", "AA", "KB", "KC", "KD", "WA", "WB", "N",
                                     "VE", "VA", "JA", "JH", "G", "M", "DL", "F", "I", "EA",
                                     "VK", "ZL", "LU", "PY", "KH6", "KL7", "XE", "ON", "PA", "SM"};
    QRandomGenerator rng(1010);
    QStringList out;
    out.reserve(n);
    while (out.size() < n) {
        QString call = QString::fromLatin1(prefixes[rng.bounded(int(std::size(prefixes)))]);
        if (!call.back().isDigit())
            call += QChar(u'0' + rng.bounded(10));
        const int suffix = 1 + rng.bounded(3);
        for (int i = 0; i < suffix; ++i)
            call += QChar(u'A' + rng.bounded(26));
        out.append(call);
    }
    return out;
}

}  // namespace bench

int main(int argc, char *argv[])
{
    // The window benchmarks need a widget application; without a display it draws offscreen.
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")
        && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList filters = app.arguments().mid(1);
    for (auto &[name, fn] : bench::registry()) {
        const QString n = QString::fromLatin1(name);
        bool wanted = filters.isEmpty();
        for (const QString &f : filters)
            wanted = wanted || n.contains(f);
        if (!wanted)
            continue;
        std::printf("== %s\n", name);
        fn();
    }
    return 0;
}

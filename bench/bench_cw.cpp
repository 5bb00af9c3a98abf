// Keying accuracy: 60 characters on a recording line per timing method and speed, while the
// main thread stays busy, with each element's length measured against its whole units.
#include "bench.h"
#include "cw/keyerthread.h"
#include "cw/morse.h"
#include "fakekeyline.h"

#include <QCoreApplication>
#include <QCryptographicHash>

#include <cmath>
#include <cstdio>

namespace {

struct Result {
    QString method;
    int wpm;
    double meanAbs, p99, max;
};

Result measure(KeyTiming::Method method, const QString &name, int wpm, double loopsPer60ms)
{
    MonotonicTiming timing;
    RecordingKeyLines lines(&timing);
    KeyerThread keyer(lines, timing);
    KeyerSettings s;
    s.line = KeyLineKind::SerialRts;
    s.port = 1;
    s.method = method;
    s.loopsPer60ms = loopsPer60ms;
    keyer.setSettings(s);
    keyer.setSpeed(wpm);
    const QString text = QStringLiteral("PARIS PARIS PARIS PARIS PARIS PARIS PARIS PARIS PARIS PARIS ");
    keyer.send(text.left(60));

    // Keep this thread busy the way a window repainting and looking up calls would be.
    QByteArray work("vardel");
    while (keyer.isSending()) {
        for (int i = 0; i < 200; ++i)
            work = QCryptographicHash::hash(work, QCryptographicHash::Sha256);
        QCoreApplication::processEvents();
    }

    QList<KeyLineLog::Event> events;
    {
        QMutexLocker lock(&lines.log->mutex);
        events = lines.log->events;
    }
    const double unitNs = 1.2e9 / wpm;
    std::vector<double> errors;
    int lastChange = 0;
    for (int i = 1; i < events.size(); ++i) {
        if (events[i].down == events[lastChange].down)
            continue;
        const double expected = (i - lastChange) * unitNs;
        errors.push_back(std::abs(double(events[i].ns - events[lastChange].ns) - expected) / 1000.0);
        lastChange = i;
    }
    Result r{name, wpm, 0, 0, 0};
    if (errors.empty())
        return r;
    double sum = 0;
    for (double e : errors)
        sum += e;
    r.meanAbs = sum / double(errors.size());
    const bench::Stats st = bench::summarise(errors);
    r.p99 = st.p99;
    r.max = st.max;
    std::printf("%-8s %2d wpm: %zu elements, unit %.1f ms, mean |error| %.1f us, p99 %.1f us, max %.1f us\n",
                qPrintable(name), wpm, errors.size(), unitNs / 1e6, r.meanAbs, r.p99, r.max);
    std::fflush(stdout);
    return r;
}

}  // namespace

VARDEL_BENCH("cw")
{
    MonotonicTiming calibration;
    const double loops = calibration.calibrateLoopsPer60ms();
    std::printf("Loop calibration: %.0f loops per 60 ms\n", loops);
    QList<Result> results;
    const QList<std::pair<KeyTiming::Method, QString>> methods = {
        {KeyTiming::Method::Timer, QStringLiteral("Timer")},
        {KeyTiming::Method::Sleep, QStringLiteral("Sleep")},
        {KeyTiming::Method::Loop, QStringLiteral("Loop")}};
    for (const auto &[method, name] : methods)
        for (int wpm : {20, 40})
            results << measure(method, name, wpm, loops);
    for (const Result &r : results)
        std::printf("cw %s %dwpm mean_abs_us=%lld p99_us=%lld max_us=%lld\n", qPrintable(r.method),
                    r.wpm, qRound64(r.meanAbs), qRound64(r.p99), qRound64(r.max));
    std::fflush(stdout);
}

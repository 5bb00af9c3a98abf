#include "platform/keytiming.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <time.h>

namespace {

// Sleeping this close to a deadline risks waking after it; the Timer method spins the rest.
// An idle processor (a virtual one above all) can take several hundred microseconds to wake;
// 1.5 ms of spinning per element costs a few percent of one core while a message is keyed.
constexpr qint64 kSpinNs = 1500000;

timespec toTimespec(qint64 ns)
{
    timespec ts;
    ts.tv_sec = ns / 1000000000;
    ts.tv_nsec = ns % 1000000000;
    return ts;
}

void sleepUntil(qint64 ns)
{
    const timespec ts = toTimespec(ns);
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &ts, nullptr) == EINTR) {
    }
}

}  // namespace

qint64 MonotonicTiming::nowNs() const
{
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return qint64(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

void MonotonicTiming::waitUntil(qint64 deadlineNs, Method method)
{
    if (method == Method::Sleep) {
        sleepUntil(deadlineNs);
        return;
    }
    if (deadlineNs - nowNs() > kSpinNs)
        sleepUntil(deadlineNs - kSpinNs);
    while (nowNs() < deadlineNs) {
    }
}

void MonotonicTiming::countLoops(double loops)
{
    // The empty asm keeps the compiler from folding the loop away; the loop is what is
    // calibrated.
    for (double i = 0; i < loops; i += 1)
        asm volatile("" ::: "memory");
}

double MonotonicTiming::calibrateLoopsPer60ms()
{
    // A processor coming out of idle runs the first milliseconds slowly, which once made the
    // count come out at less than half of what the keyer then ran: a warm-up run first, then
    // the middle of three measured runs.
    // Each measured run lasts about 60 ms, an element's length, so the processor is in the
    // state it keys in; a short run once counted a fifth too few and keyed 30 WPM as 37.
    double steps = 1000000;
    const qint64 warmUpEnd = nowNs() + 150000000;
    while (nowNs() < warmUpEnd)
        countLoops(steps);
    std::array<double, 3> rates{};
    for (double &rate : rates) {
        const qint64 t0 = nowNs();
        countLoops(steps);
        const qint64 elapsed = nowNs() - t0;
        if (elapsed <= 0)
            return 0;
        rate = steps / (double(elapsed) / 1e6) * 60.0;
        steps = std::max(1000.0, rate);  // the next run: about 60 ms
    }
    std::sort(rates.begin(), rates.end());
    return double(qRound64(rates[1]));
}

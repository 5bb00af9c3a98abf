#pragma once
#include <QtGlobal>

// How the keyer waits out Morse units. Times are nanoseconds on the monotonic clock.
//
// Thread contract: called only from the keyer thread (it blocks that thread by design); a
// single instance is not shared between threads.
class KeyTiming {
public:
    enum class Method { Timer, Sleep, Loop };

    virtual ~KeyTiming() = default;
    virtual qint64 nowNs() const = 0;
    // Returns at (or just after) the absolute deadline. Timer sleeps to shortly before it and
    // spins the rest; Sleep sleeps to it. Loop is not deadline-driven: use countLoops().
    virtual void waitUntil(qint64 deadlineNs, Method method) = 0;
    // Counts `loops` steps of the calibrated loop.
    virtual void countLoops(double loops) = 0;
    // Steps of the loop that take 60 ms, measured against the monotonic clock.
    virtual double calibrateLoopsPer60ms() = 0;
};

class MonotonicTiming : public KeyTiming {
public:
    qint64 nowNs() const override;
    void waitUntil(qint64 deadlineNs, Method method) override;
    void countLoops(double loops) override;
    double calibrateLoopsPer60ms() override;
};

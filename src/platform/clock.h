#pragma once
#include <QDateTime>

// Local and UTC "now". The logger never asks QDateTime directly so tests can set the time.
class Clock {
public:
    virtual ~Clock() = default;
    virtual QDateTime localNow() const = 0;  // wall-clock time as the operator's PC shows it
    virtual QDateTime utcNow() const = 0;    // the system's UTC time
    // Milliseconds on a steady clock (never jumps with the wall clock); for holds, timeouts and
    // repeat intervals. Only differences between two readings mean anything.
    virtual qint64 steadyMs() const = 0;
};

class SystemClock : public Clock {
public:
    QDateTime localNow() const override;
    QDateTime utcNow() const override;
    qint64 steadyMs() const override;
};

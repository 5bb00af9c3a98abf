#pragma once
#include <QDateTime>

// Local and UTC "now". The logger never asks QDateTime directly so tests can set the time.
class Clock {
public:
    virtual ~Clock() = default;
    virtual QDateTime localNow() const = 0;  // wall-clock time as the operator's PC shows it
    virtual QDateTime utcNow() const = 0;    // the system's UTC time
};

class SystemClock : public Clock {
public:
    QDateTime localNow() const override;
    QDateTime utcNow() const override;
};

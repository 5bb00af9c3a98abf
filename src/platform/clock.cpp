#include "platform/clock.h"

#include <chrono>

QDateTime SystemClock::localNow() const { return QDateTime::currentDateTime(); }
QDateTime SystemClock::utcNow() const { return QDateTime::currentDateTimeUtc(); }
qint64 SystemClock::steadyMs() const
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

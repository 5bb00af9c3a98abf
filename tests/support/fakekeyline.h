#pragma once
#include "platform/keyline.h"
#include "platform/keytiming.h"
#include "platform/portmap.h"

#include <QList>
#include <QMutex>
#include <QMutexLocker>
#include <QString>

#include <atomic>
#include <functional>
#include <memory>

// Header-only so the benchmark can record lines too without linking the test support.

// Virtual time for the keyer: every wait returns at once with the clock moved to the deadline.
// `onWait` runs on the keyer thread before each wait, so a test can act at an exact point
// inside a character (the way a key press lands while a message is keyed).
class FakeKeyTiming : public KeyTiming {
public:
    qint64 nowNs() const override { return m_now.load(); }
    void waitUntil(qint64 deadlineNs, Method method) override
    {
        waits.fetch_add(1);
        lastMethod = method;
        if (onWait)
            onWait(waits.load());
        if (deadlineNs > m_now.load())
            m_now.store(deadlineNs);
    }
    void countLoops(double loops) override
    {
        waits.fetch_add(1);
        lastMethod = Method::Loop;
        if (onWait)
            onWait(waits.load());
        m_now.fetch_add(qint64(loops / loopsPer60ms * 60e6));
    }
    double calibrateLoopsPer60ms() override { return loopsPer60ms; }

    double loopsPer60ms = 600000;
    std::function<void(int wait)> onWait;
    std::atomic<int> waits{0};
    std::atomic<Method> lastMethod{Method::Timer};

private:
    std::atomic<qint64> m_now{1000000000};
};

// Every setKey with its time, for lines of one factory (shared so a test sees reopened lines).
struct KeyLineLog {
    struct Event {
        qint64 ns;
        bool down;
    };
    QMutex mutex;
    QList<Event> events;
    QList<QString> opened;  // devices, in order of successful opens
    int openLines = 0;      // lines open right now
    // The adapter is pulled: the next setKey on an open line finds it gone, as the serial line
    // does, and closes it.
    std::atomic<bool> unplugged{false};

    QString units() {  // "1"/"0" per setKey, the unit string as keyed
        QMutexLocker lock(&mutex);
        QString s;
        for (const Event &e : events)
            s += e.down ? QLatin1Char('1') : QLatin1Char('0');
        return s;
    }
    void clear()
    {
        QMutexLocker lock(&mutex);
        events.clear();
    }
};

// Names itself by the device a real line would open for the port (so lines on one port are
// told apart from lines on another as the keyer does), "fake:<kind>" where the map has none.
class RecordingKeyLine : public KeyLine {
public:
    RecordingKeyLine(std::shared_ptr<KeyLineLog> log, const KeyTiming *timing, KeyLineKind kind,
                     PortMap map, bool failOpen)
        : m_log(std::move(log)), m_timing(timing), m_kind(kind), m_map(std::move(map)),
          m_device(QStringLiteral("fake:%1").arg(int(kind))), m_failOpen(failOpen)
    {
    }
    ~RecordingKeyLine() override { close(); }
    bool open(int port) override
    {
        close();
        const QString mapped = m_kind == KeyLineKind::Parallel ? m_map.parallelDevice(port)
                                                               : m_map.serialDevice(port);
        if (!mapped.isEmpty())
            m_device = mapped;
        if (m_failOpen) {
            m_error = QStringLiteral("%1: No such file or directory").arg(m_device);
            return false;
        }
        m_open = true;
        QMutexLocker lock(&m_log->mutex);
        m_log->opened << m_device;
        ++m_log->openLines;
        return true;
    }
    void close() override
    {
        if (!m_open)
            return;
        m_open = false;
        QMutexLocker lock(&m_log->mutex);
        --m_log->openLines;
    }
    bool isOpen() const override { return m_open; }
    void setKey(bool down) override
    {
        if (!m_open)
            return;
        if (m_log->unplugged.load()) {
            m_error = QStringLiteral("%1: Input/output error").arg(m_device);
            close();
            return;
        }
        QMutexLocker lock(&m_log->mutex);
        m_log->events.append({m_timing->nowNs(), down});
    }
    QString errorText() const override { return m_error; }
    QString device() const override { return m_device; }

private:
    std::shared_ptr<KeyLineLog> m_log;
    const KeyTiming *m_timing;
    KeyLineKind m_kind;
    PortMap m_map;
    QString m_device;
    bool m_failOpen;
    bool m_open = false;
    QString m_error;
};

class RecordingKeyLines : public KeyLineFactory {
public:
    explicit RecordingKeyLines(const KeyTiming *timing) : m_timing(timing) {}
    std::unique_ptr<KeyLine> create(KeyLineKind kind, const PortMap &map) override
    {
        if (kind == KeyLineKind::None)
            return nullptr;
        created.fetch_add(1);
        return std::make_unique<RecordingKeyLine>(log, m_timing, kind, map, failOpen.load());
    }
    std::shared_ptr<KeyLineLog> log = std::make_shared<KeyLineLog>();
    std::atomic<bool> failOpen{false};
    std::atomic<int> created{0};

private:
    const KeyTiming *m_timing;
};

#include "cw/keyerthread.h"
#include "cw/morse.h"

#include <QMutexLocker>
#include <QThread>

#include <pthread.h>
#include <sched.h>


namespace {

// A character that is ready this soon after the last one ended continues its timeline.
constexpr qint64 kChainNs = 1000000;

QString lineDevice(const KeyerSettings &s)
{
    switch (s.line) {
    case KeyLineKind::SerialRts:
    case KeyLineKind::SerialDtr:
        return s.portMap.serialDevice(s.port);
    case KeyLineKind::Parallel:
        return s.portMap.parallelDevice(s.port);
    case KeyLineKind::None:
        break;
    }
    return QString();
}

}  // namespace

KeyerThread::KeyerThread(KeyLineFactory &lines, KeyTiming &timing, QObject *parent)
    : CwSender(parent), m_lines(lines), m_timing(timing)
{
    m_thread = QThread::create([this] { run(); });
    m_thread->setObjectName(QStringLiteral("keyer"));
    m_thread->start();
}

KeyerThread::~KeyerThread()
{
    {
        QMutexLocker lock(&m_mutex);
        m_quit = true;
        m_buffer.clear();
        m_wake.wakeAll();
    }
    m_thread->wait();
    delete m_thread;
}

void KeyerThread::send(const QString &text)
{
    changeBuffer([&text](QString &buffer) { buffer = text; });
}

void KeyerThread::append(const QString &text)
{
    changeBuffer([&text](QString &buffer) { buffer += text; });
}

void KeyerThread::changeBuffer(const std::function<void(QString &)> &change)
{
    QMutexLocker lock(&m_mutex);
    change(m_buffer);
    const bool starts = !m_buffer.isEmpty() && !m_sending.load();
    if (starts)
        m_sending.store(true);
    m_wake.wakeAll();
    lock.unlock();
    if (starts)
        emit sendingChanged(true);
}

bool KeyerThread::backspace()
{
    QMutexLocker lock(&m_mutex);
    if (m_buffer.isEmpty())
        return false;
    m_buffer.chop(1);
    const bool ends = endIfIdle();
    lock.unlock();
    if (ends)
        emit sendingChanged(false);
    return true;
}

void KeyerThread::stop()
{
    QMutexLocker lock(&m_mutex);
    m_buffer.clear();
    const bool ends = endIfIdle();
    lock.unlock();
    if (ends)
        emit sendingChanged(false);
}

bool KeyerThread::endIfIdle()
{
    // Text taken back before the keyer picked up its first character never gets keyed, so the
    // keyer would not report the end: say it here.
    if (!m_buffer.isEmpty() || m_keying || !m_sending.load())
        return false;
    m_sending.store(false);
    return true;
}

QString KeyerThread::unsent() const
{
    QMutexLocker lock(&m_mutex);
    return m_buffer;
}

void KeyerThread::setSettings(const KeyerSettings &settings)
{
    QMutexLocker lock(&m_mutex);
    const bool lineChanges = settings.line != m_settings.line
        || lineDevice(settings) != lineDevice(m_settings) || settings.port != m_settings.port;
    m_settings = settings;
    if (lineChanges)
        ++m_settingsGeneration;
}

KeyerSettings KeyerThread::settings() const
{
    QMutexLocker lock(&m_mutex);
    return m_settings;
}

void KeyerThread::openLine()
{
    QMutexLocker lock(&m_mutex);
    m_openRequested = true;
    m_closeRequested = false;
    m_wake.wakeAll();
}

void KeyerThread::calibrateLoops()
{
    QMutexLocker lock(&m_mutex);
    m_calibrationRequested = true;
    m_wake.wakeAll();
}

void KeyerThread::closeLine()
{
    QMutexLocker lock(&m_mutex);
    m_closeRequested = true;
    m_openRequested = false;
    m_wake.wakeAll();
}

void KeyerThread::setPtt(KeyLineKind kind, int port, bool on)
{
    QMutexLocker lock(&m_mutex);
    m_pttRequested = true;
    m_pttKind = kind;
    m_pttPort = port;
    m_pttOn = on;
    m_wake.wakeAll();
}

void KeyerThread::emitQueued(const std::function<void()> &f)
{
    QMetaObject::invokeMethod(this, f, Qt::QueuedConnection);
}

void KeyerThread::run()
{
    for (;;) {
        QMutexLocker lock(&m_mutex);
        while (!m_quit && m_buffer.isEmpty() && !m_openRequested && !m_closeRequested
               && !m_pttRequested && !m_calibrationRequested)
            m_wake.wait(&m_mutex);
        if (m_quit)
            break;
        const KeyerSettings s = m_settings;
        const quint64 generation = m_settingsGeneration;
        const bool doOpen = std::exchange(m_openRequested, false);
        const bool doClose = std::exchange(m_closeRequested, false);
        const bool doPtt = std::exchange(m_pttRequested, false);
        const bool doCalibrate = std::exchange(m_calibrationRequested, false);
        const KeyLineKind pttKind = m_pttKind;
        const int pttPort = m_pttPort;
        const bool pttOn = m_pttOn;
        QChar c;
        const bool haveChar = !doOpen && !doClose && !doPtt && !doCalibrate && !m_buffer.isEmpty();
        if (haveChar) {
            c = m_buffer.at(0);
            m_buffer.remove(0, 1);
            m_keying = true;
        }
        lock.unlock();

        if (generation != m_lineGeneration) {
            m_line.reset();
            m_lineGeneration = generation;
        }
        // Requests that came together are all carried out: a close and a PTT change asked for at
        // once (the external keyer taking the port) must not lose the PTT change.
        if (doClose)
            m_line.reset();
        if (doCalibrate) {
            // Counted here, on the thread and with the scheduling the counted loop keys with,
            // so the count is the one keying will see.
            if (m_realTime) {
                sched_param param{};
                pthread_setschedparam(pthread_self(), SCHED_OTHER, &param);
                m_realTime = false;
            }
            const double loops = m_timing.calibrateLoopsPer60ms();
            if (loops > 0)
                m_calibratedLoops = loops;
            emitQueued([this, loops] { emit loopsCalibrated(loops); });
        }
        if (doOpen) {
            m_line.reset();
            if (s.line != KeyLineKind::None)
                ensureLine(s, true);
        }
        if (doPtt) {
            if (m_ptt && (m_pttOpenKind != pttKind || m_pttOpenPort != pttPort))
                m_ptt.reset();
            if (!m_ptt && pttKind != KeyLineKind::None && (pttOn || pttKind == KeyLineKind::Parallel)) {
                PortMap map = s.portMap;
                m_ptt = m_lines.create(pttKind, map);
                // One device, one owner at a time: CW keying lets go of a shared port.
                const QString pttDevice = pttKind == KeyLineKind::Parallel
                    ? map.parallelDevice(pttPort) : map.serialDevice(pttPort);
                if (m_line && m_line->device() == pttDevice)
                    m_line.reset();
                if (m_ptt && !m_ptt->open(pttPort)) {
                    const QString error = m_ptt->errorText();
                    m_ptt.reset();
                    emitQueued([this, error] { emit pttFailed(error); });
                } else {
                    m_pttOpenKind = pttKind;
                    m_pttOpenPort = pttPort;
                }
            }
            if (m_ptt)
                m_ptt->setKey(pttOn);
            continue;
        }
        if (!haveChar)
            continue;

        keyCharacter(c, s);

        lock.relock();
        m_keying = false;
        const QString rest = m_buffer;
        const bool ended = rest.isEmpty() && m_sending.load();
        if (ended)
            m_sending.store(false);
        lock.unlock();
        emitQueued([this, c, rest] { emit charKeyed(c, rest); });
        if (ended) {
            // A send that started again meanwhile has already said so; do not contradict it.
            emitQueued([this] {
                if (!m_sending.load())
                    emit sendingChanged(false);
            });
        }
    }
    m_line.reset();
    m_ptt.reset();
}

bool KeyerThread::ensureLine(const KeyerSettings &s, bool report)
{
    if (m_line && m_line->isOpen())
        return true;
    m_line = m_lines.create(s.line, s.portMap);
    if (!m_line)
        return false;
    if (m_ptt && m_ptt->device() == lineDevice(s))
        m_ptt.reset();
    if (!m_line->open(s.port)) {
        const QString error = m_line->errorText();
        m_line.reset();
        if (report)
            emitQueued([this, error] { emit lineFailed(error); });
        return false;
    }
    const QString device = m_line->device();
    emitQueued([this, device] { emit lineOpened(device); });
    return true;
}

void KeyerThread::keyCharacter(QChar c, const KeyerSettings &s)
{
    if (c == morse::kLogMark) {
        emitQueued([this] { emit logMarkReached(); });
        return;
    }
    if (s.line == KeyLineKind::None)
        return;
    const QString units = morse::unitsWithWordSpace(c, s.wordSpace);
    if (units.isEmpty())
        return;

    const bool serial = s.line != KeyLineKind::Parallel;
    // A serial line with port 0 keys nothing but keeps the timing; a line that will not open
    // drops the message, so the operator gets one message instead of one per character.
    if (!(serial && s.port < 1) && !ensureLine(s, true)) {
        QMutexLocker lock(&m_mutex);
        m_buffer.clear();
        return;
    }

    // Real-time scheduling keeps busy programs from delaying a unit's end. Not for the counted
    // loop, which spins for whole units and would starve the windows on a small machine. An
    // operator without the right to it still gets the absolute deadlines.
    const bool realTime = s.method != KeyTiming::Method::Loop;
    if (realTime != m_realTime) {
        sched_param param{};
        param.sched_priority = realTime ? 1 : 0;
        pthread_setschedparam(pthread_self(), realTime ? SCHED_FIFO : SCHED_OTHER, &param);
        m_realTime = realTime;
    }

    qint64 start = m_timing.nowNs();
    if (m_lastEndNs > 0 && start >= m_lastEndNs && start - m_lastEndNs < kChainNs)
        start = m_lastEndNs;
    double elapsedNs = 0;
    // A counted loop with no count would key a whole message in a blink: count one first.
    double loopsPer60ms = s.loopsPer60ms;
    if (s.method == KeyTiming::Method::Loop && loopsPer60ms <= 0) {
        if (m_calibratedLoops <= 0)
            m_calibratedLoops = m_timing.calibrateLoopsPer60ms();
        loopsPer60ms = m_calibratedLoops;
    }
    for (QChar u : units) {
        // Re-read per element so a speed change lands at the next one. No speed keys nothing:
        // not even the element's start.
        const int wpm = m_wpm.load();
        if (wpm <= 0) {
            if (m_line)
                m_line->setKey(false);
            m_lastEndNs = 0;
            return;
        }
        if (m_line) {
            m_line->setKey(u == QLatin1Char('1'));
            if (!m_line->isOpen()) {
                // The device went away under the message: the rest is dropped, the operator
                // hears of it once, and the next message opens the device again.
                const QString error = m_line->errorText();
                m_line.reset();
                m_lastEndNs = 0;
                {
                    QMutexLocker lock(&m_mutex);
                    m_buffer.clear();
                }
                emitQueued([this, error] { emit lineLost(error); });
                return;
            }
        }
        if (s.method == KeyTiming::Method::Loop) {
            m_timing.countLoops(loopsPer60ms / wpm * 20);
        } else {
            elapsedNs += 1.2e9 / wpm;
            m_timing.waitUntil(start + qint64(elapsedNs), s.method);
        }
    }
    m_lastEndNs = s.method == KeyTiming::Method::Loop ? 0 : start + qint64(elapsedNs);
}

#pragma once
#include "cw/cwsender.h"
#include "platform/keyline.h"
#include "platform/keytiming.h"
#include "platform/portmap.h"

#include <QMutex>
#include <QWaitCondition>

#include <atomic>
#include <memory>

class QThread;

// What the keyer needs to know from the CW setup.
struct KeyerSettings {
    KeyLineKind line = KeyLineKind::None;
    int port = 0;  // serial port number, or the parallel port's base address
    KeyTiming::Method method = KeyTiming::Method::Timer;
    int wordSpace = 0;
    double loopsPer60ms = 0;
    PortMap portMap;
};

// Keys CWBuffer on a line of its own thread, one whole character at a time, on absolute
// deadlines: each element's end is computed from the start of its character, and a character
// that follows at once starts where the last one ended, so errors never add up.
//
// Thread contract: the object lives on the GUI thread and every public function is called
// there and returns at once. The keying thread it starts creates, uses and destroys the key
// line (and the PTT line) itself. Signals are emitted on the GUI thread. The destructor asks
// the thread to stop, wakes it and waits for the character being keyed (never more than one).
class KeyerThread : public CwSender {
    Q_OBJECT
public:
    KeyerThread(KeyLineFactory &lines, KeyTiming &timing, QObject *parent = nullptr);
    ~KeyerThread() override;

    void send(const QString &text) override;
    void append(const QString &text) override;
    bool backspace() override;
    void stop() override;
    QString unsent() const override;
    bool isSending() const override { return m_sending.load(); }
    void setSpeed(int wpm) override { m_wpm.store(wpm); }
    int speed() const override { return m_wpm.load(); }

    // A new line choice, port or port map closes the old line; the new one opens when the next
    // character needs it, or at once through openLine().
    void setSettings(const KeyerSettings &settings);
    KeyerSettings settings() const;
    // (Re)opens the key line now; lineOpened or lineFailed tells the outcome.
    void openLine();
    // Counts the timing loop for the "Loop" method on the keyer thread; loopsCalibrated says
    // the count (loops per 60 ms).
    void calibrateLoops();
    // Closes the key line (another owner of the same port is about to open it).
    void closeLine();

    // PTT for the voice keyer, owned by the same thread so a port shared with CW keying has
    // one owner. Opening the PTT line closes the key line first, and keying CW closes PTT.
    void setPtt(KeyLineKind kind, int port, bool on);

signals:
    void lineOpened(const QString &device);
    // The line could not be opened; nothing is keyed and the unsent text is dropped.
    void lineFailed(const QString &error);
    void pttFailed(const QString &error);
    // The open line's device went away while keying (an adapter pulled out).
    void lineLost(const QString &error);
    void loopsCalibrated(double loopsPer60ms);

private:
    void run();
    // Changes the send buffer under the mutex, wakes the keyer, and reports a start of sending.
    void changeBuffer(const std::function<void(QString &)> &change);
    void keyCharacter(QChar c, const KeyerSettings &s);
    bool ensureLine(const KeyerSettings &s, bool report);
    void emitQueued(const std::function<void()> &f);
    bool endIfIdle();  // with m_mutex held

    KeyLineFactory &m_lines;
    KeyTiming &m_timing;
    QThread *m_thread = nullptr;

    mutable QMutex m_mutex;  // guards everything below up to the atomics
    QWaitCondition m_wake;
    QString m_buffer;
    KeyerSettings m_settings;
    quint64 m_settingsGeneration = 0;
    bool m_openRequested = false;
    bool m_calibrationRequested = false;
    bool m_closeRequested = false;
    bool m_pttRequested = false;
    KeyLineKind m_pttKind = KeyLineKind::None;
    int m_pttPort = 0;
    bool m_pttOn = false;
    bool m_quit = false;
    bool m_keying = false;  // the keyer thread has taken a character and is keying it

    std::atomic<bool> m_sending{false};
    std::atomic<int> m_wpm{13};

    // Keyer thread only.
    std::unique_ptr<KeyLine> m_line;
    quint64 m_lineGeneration = ~quint64(0);
    std::unique_ptr<KeyLine> m_ptt;
    KeyLineKind m_pttOpenKind = KeyLineKind::None;
    int m_pttOpenPort = 0;
    qint64 m_lastEndNs = 0;
    bool m_realTime = false;
    double m_calibratedLoops = 0;  // counted here when the settings bring none
};

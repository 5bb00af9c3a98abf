#pragma once
#include "cw/cwsender.h"

#include <QList>

#include <functional>

class QTimer;
class WinKeyer;

// CW through the external keyer: the unsent text is fed to it one character at a time, 10 ms
// apart, and never while it reports 5 or more characters pending (its flow control). A closed
// keyer is opened first; if that fails the text is dropped. Characters go over unchanged (the
// keyer has its own Morse table). "!" never goes to the keyer: it is reported when the keyer has
// echoed every character before it, and Esc before then drops it.
//
// Sending lasts until the keyer has echoed everything, so the F1 repeat interval runs from the
// end of the keyed message, as with the keyer thread.
//
// Thread contract: GUI thread only; the feeding is a QTimer step.
class WinKeySender : public CwSender {
    Q_OBJECT
public:
    static constexpr int kStepMs = 10;

    explicit WinKeySender(WinKeyer &keyer, QObject *parent = nullptr);

    // How to open a closed keyer (the setup window's Open, with its messages and settings push).
    void setOpenKeyer(std::function<void()> open) { m_openKeyer = std::move(open); }

    void send(const QString &text) override;
    void append(const QString &text) override;
    bool backspace() override;
    void stop() override;
    QString unsent() const override { return m_buffer; }
    bool isSending() const override { return m_sending; }
    // Speeds above 4 and below 100 go to an open keyer; the keyer's own WPM box is apart.
    void setSpeed(int wpm) override;
    int speed() const override { return m_wpm; }

    bool waitingForKeyer() const { return m_waiting; }

private:
    void start();
    void step();
    void onOpenFinished(int code, int version);
    void updateSending();
    void reachMarks(int count);

    WinKeyer &m_keyer;
    std::function<void()> m_openKeyer;
    QTimer *m_step = nullptr;
    QString m_buffer;
    QList<int> m_marks;  // log points in the keyer: characters still to echo before each
    bool m_opening = false;
    bool m_waiting = false;  // held by the keyer's flow control
    bool m_sending = false;
    int m_wpm = 13;
};

#pragma once
#include <QByteArray>
#include <QString>

// Starts `emulator` (a WkEmulator) or skips the test, saying why.
#define WKEMULATOR_START_OR_SKIP(emulator)                                                     \
    do {                                                                                       \
        QString whyNot;                                                                        \
        if (!(emulator).start(&whyNot))                                                        \
            QSKIP(qPrintable("no socat pseudo-terminal pair (scripts/install-deps.sh --tests): " \
                             + whyNot));                                                       \
    } while (false)

class QProcess;
class QSerialPort;
class QTimer;

// A WinKeyer on the far side of a socat pseudo-terminal pair, for tests. It answers the echo
// test, host open (with its version) and status requests, keeps a character buffer, raises XOFF
// past two thirds of it, keys the characters at the set speed (real time, it is the peer),
// echoes each one when it has been keyed, and records every byte it received.
class WkEmulator {
public:
    // The pty links are made inside `folder` (the test's temporary folder).
    explicit WkEmulator(const QString &folder);
    ~WkEmulator();
    WkEmulator(const WkEmulator &) = delete;
    WkEmulator &operator=(const WkEmulator &) = delete;

    // Starts socat and opens the keyer's side; false (with the reason) when that is impossible.
    bool start(QString *why);
    QString hostDevice() const;  // the path the program opens

    QByteArray received() const { return m_received; }
    QByteArray keyed() const { return m_keyed; }      // characters keyed in full, in order
    QByteArray buffered() const { return m_buffer; }  // queued, not yet keyed
    bool isHostOpen() const { return m_open; }
    int speed() const { return m_speed; }
    int weight() const { return m_weight; }
    int leadIn() const { return m_leadIn; }
    int tail() const { return m_tail; }
    int ratio() const { return m_ratio; }
    int pinConfig() const { return m_pinConfig; }
    int mode() const { return m_mode; }
    int backspaces() const { return m_backspaces; }
    int clears() const { return m_clears; }

    void setVersion(quint8 version) { m_version = version; }
    void setSilent(bool silent) { m_silent = silent; }   // answers nothing at all
    void setCapacity(int bytes) { m_capacity = bytes; }
    void holdXoff(bool hold);  // reports XOFF and keys nothing until released
    void moveSpeedPot(int value);                         // sends a pot byte
    void sendRaw(const QByteArray &bytes);                // line noise, as it comes
    void clearRecord() { m_received.clear(); }
    void unplug();  // ends socat: the program's side of the pair goes away

private:
    void onBytes();
    void handle(quint8 b);
    void command(const QByteArray &cmd);
    void startNext();
    void sendStatus();
    int statusBits() const;
    void reply(quint8 b);

    QString m_folder;
    QProcess *m_socat = nullptr;
    QSerialPort *m_port = nullptr;
    QTimer *m_keyTimer = nullptr;
    QByteArray m_received;
    QByteArray m_keyed;
    QByteArray m_buffer;
    QByteArray m_partial;  // a command waiting for its arguments
    int m_keying = -1;     // the character being keyed
    int m_lastStatus = -1;
    quint8 m_version = 23;
    bool m_silent = false;
    bool m_open = false;
    bool m_xoffHeld = false;
    int m_capacity = 128;
    int m_speed = 18;
    int m_pot = 15;
    int m_weight = 50, m_leadIn = 0, m_tail = 0, m_ratio = 50, m_pinConfig = 0, m_mode = 0;
    int m_backspaces = 0, m_clears = 0;
};

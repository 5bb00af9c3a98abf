#pragma once
#include "cw/wkprotocol.h"

#include <QObject>
#include <QString>

#include <functional>

class Clock;
class QSerialPort;
class QTimer;

// The `wk_` calls over the keyer's serial link. Everything is asynchronous: wk_open starts the
// handshake and openFinished() reports its outcome; the other calls queue bytes and return.
//
// What is pending: every character handed over counts until the keyer echoes it back (serial
// echo is always switched on), so wk_getstatus() is the number of characters not yet keyed, and
// at least 5 while the keyer holds XOFF. A status request answered "not busy" after the last
// character was written settles the count at 0, so a character the keyer never echoes cannot
// hold the count up for good.
//
// Thread contract: GUI thread only; the serial port lives on it and every signal is emitted on
// it. Time limits read the Clock at a short QTimer step, never by waiting.
class WinKeyer : public QObject {
    Q_OBJECT

public:
    enum OpenCode {
        Success = 0,
        NoEchoResponse = 1,
        EchoMismatch = 2,
        NoOpenResponse = 3,
        ComOpenFailed = 4,
        GetComStFailed = 5,
        SetComStFailed = 6,
        AlreadyOpen = 8,
        NotOpen = 9,
    };
    static constexpr int kAnswerTimeoutMs = 1000;  // per handshake step
    static constexpr int kStatusPollMs = 500;      // asks for status while echoes are late
    static constexpr int kPortBusyMs = 500;        // the CW line lets go of a shared port
    static constexpr int kBusyStatus = 5;          // wk_getstatus at or above: do not queue more

    // `deviceForPort` turns a port number into a device path ("" when there is none).
    WinKeyer(Clock &clock, std::function<QString(int)> deviceForPort, QObject *parent = nullptr);
    ~WinKeyer() override;

    // The operator's text for an open code ("WK Success!", ...); empty for codes without one.
    static QString openCodeText(int code);

    // Opens port `port` and runs the echo test and host open. openFinished() follows, at once
    // when the port cannot be opened or the keyer is already open.
    void wk_open(int port);
    void wk_close();
    void wk_char(quint8 code);
    int wk_getstatus() const;
    void wk_clearbuf();
    void wk_backspace();
    void wk_wpm(quint8 wpm);
    void wk_weight(quint8 weight);
    void wk_ptt_leadtail(quint8 leadIn, quint8 tail);
    void wk_ditdah_ratio(quint8 ratio);
    void wk_pincfg(quint8 config);
    void wk_setmode(quint8 mode);

    bool isOpen() const { return m_version != 0; }
    bool isOpening() const { return m_step != Step::Idle; }
    int version() const { return m_version; }
    int pending() const { return m_pending; }
    bool xoff() const { return m_xoff; }
    int speedPot() const { return m_speedPot; }
    // Called before the port is opened, to free the CW keying and voice ports (they may be the
    // same physical port).
    void setReleaseSharedPorts(std::function<void()> release) { m_releaseShared = std::move(release); }

signals:
    void openFinished(int code, int version);
    // The pending count or XOFF changed (an echo, a status byte, a clear).
    void statusChanged();
    void echoed(quint8 code);
    void speedPotChanged(int value);
    // The link went away (closed, unplugged); the keyer counts as closed.
    void closed();

private:
    enum class Step { Idle, PortBusy, EchoTest, HostOpen };
    void onReadyRead();
    void onTick();
    void finishOpen(int code, int version);
    int openPort();  // an open code, or -1 while the port is still held by its other user
    void send(const QByteArray &bytes);
    void dropPort();
    // m_pending follows m_unechoed; says so when it changed.
    void pendingChanged();
    void updateTicking();

    Clock &m_clock;
    std::function<QString(int)> m_deviceForPort;
    std::function<void()> m_releaseShared;
    QSerialPort *m_port = nullptr;
    QTimer *m_tick = nullptr;
    wkproto::Decoder m_decoder;
    Step m_step = Step::Idle;
    qint64 m_deadline = 0;
    int m_version = 0;
    int m_pending = 0;
    QByteArray m_unechoed;  // sent to the keyer, oldest first, not yet echoed
    bool m_xoff = false;
    bool m_askedSinceLastChar = false;
    qint64 m_lastActivity = 0;
    int m_speedPot = -1;
};

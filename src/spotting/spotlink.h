#pragma once
#include "spotting/agwframe.h"
#include "spotting/telnetcodec.h"

#include <QObject>
#include <QPointer>
#include <QSerialPort>
#include <QTcpSocket>
#include <QTimer>

#include <functional>

// The Winsock-style number of a socket error, as the spotting window reports it, and its text.
int socketErrorNumber(QAbstractSocket::SocketError error);
QString socketErrorText(int number);

// Received bytes as terminal text: each line UTF-8 when it is valid UTF-8 and Windows-1252
// otherwise, with control characters other than tab, carriage return and line feed removed so
// binary garbage cannot upset the terminal box.
QString terminalText(const QByteArray &bytes);

// The same for a byte stream read in pieces: a character split across two reads is decoded
// whole with the second.
class PeerTextDecoder {
public:
    QString decode(const QByteArray &chunk);

private:
    QByteArray m_held;
};

// A connection to a source of DX spots. Every link reports what it receives and its failures
// with signals; the spotting window decides what to show.
//
// Thread contract: GUI thread only. All I/O is asynchronous; no call blocks, and every signal
// is emitted from the event loop of the GUI thread.
class SpotLink : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;
    virtual void open() = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    // Sends one typed line; false when the link cannot send now (nothing was sent).
    virtual bool sendLine(const QString &line) = 0;

signals:
    void opened();
    // The link could not open, or the peer broke it; the link is closed already.
    void failed(const QString &message);
    // Text from a TNC or a cluster.
    void textReceived(const QString &text);
};

// A DX cluster over TCP. Telnet negotiation is answered and stripped; lines go out with CR LF.
class TelnetLink : public SpotLink {
    Q_OBJECT

public:
    // A cluster that sends more than this without a line end is not a cluster.
    static constexpr qsizetype kMaxLine = 4000;
    // A node that has not answered the connection in this time is not coming.
    static constexpr int kConnectTimeoutMs = 30000;

    explicit TelnetLink(QObject *parent = nullptr);
    void setConnectTimeout(int ms) { m_connectTimeout.setInterval(ms); }
    void setAddress(const QString &host, const QString &port);
    void open() override;
    void close() override;
    bool isOpen() const override;
    bool isConnected() const;
    bool sendLine(const QString &line) override;
    QTcpSocket *socket() { return &m_socket; }

private:
    void readAvailable();
    void fail(const QString &message);

    QTcpSocket m_socket;
    QTimer m_connectTimeout;
    TelnetCodec m_codec;
    PeerTextDecoder m_text;
    QString m_host;
    QString m_port;
    qsizetype m_lineLength = 0;
};

// A packet TNC on a serial port. The device comes from the port map.
class TncLink : public SpotLink {
    Q_OBJECT

public:
    struct Settings {
        QString device;
        int baud = 19200;
        QChar parity = u'N';
        int dataBits = 8;
        int stopBits = 1;
        QChar powerLine = u'N';  // N none, R RTS, D DTR
        int handshake = 1;       // 1 none, 2 XON/XOFF, 3 RTS, 4 RTS and XON/XOFF
    };

    explicit TncLink(QObject *parent = nullptr);
    void setSettings(const Settings &settings) { m_settings = settings; }
    // Opens synchronously; on failure the port stays closed and lastError() says why (a port
    // lost later is reported with failed()).
    void open() override;
    QString lastError() const { return m_lastError; }
    void close() override;
    bool isOpen() const override;
    // The line followed by a carriage return.
    bool sendLine(const QString &line) override;
    // One raw byte, such as the TNC's command-mode character.
    bool sendByte(char byte);

private:
    QString openPort();
    QSerialPort m_port;
    PeerTextDecoder m_text;
    Settings m_settings;
    QString m_lastError;
};

// The packet engine's TCP/IP API: registers the own call, switches monitoring on, passes every
// frame on, and keeps the one connected station.
class AgwLink : public SpotLink {
    Q_OBJECT

public:
    static constexpr int kRegisterTimeoutMs = 5000;

    explicit AgwLink(QObject *parent = nullptr);
    void setAddress(const QString &host, quint16 port) { m_host = host; m_port = port; }
    void setOwnCall(const QString &call) { m_ownCall = call.trimmed().toUpper(); }
    void open() override;
    void close() override;
    bool isOpen() const override { return m_registered; }
    // Plain text goes to the connected station; ":C call" connects, ":D" disconnects.
    // False for text that has nowhere to go.
    bool sendLine(const QString &line) override;

    QString connectedCall() const { return m_connectedCall; }

signals:
    // One frame from the engine; `connectedCall()` is still the state before the frame.
    void frameReceived(QChar kind, const QString &fromCall, const QString &data);
    void stationConnected(const QString &call);
    void stationDisconnected(const QString &call);
    // ":C" without a call.
    void callSignMissing();

private:
    void readAvailable();
    void handle(const AgwFrame &frame);
    void send(const AgwFrame &frame);
    void fail(const QString &message);

    QTcpSocket m_socket;
    QTimer m_registerTimeout;
    AgwDecoder m_decoder;
    QString m_host = QStringLiteral("127.0.0.1");
    quint16 m_port = 8000;
    QString m_ownCall;
    QString m_connectedCall;
    bool m_registered = false;
};

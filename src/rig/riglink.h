#pragma once
#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>

class QTcpSocket;
class QTimer;

// The link to a rig through Hamlib's rigctld, in its plain-text protocol: "f" and "m" read the
// frequency and mode, "F" and "M" set them. Polls every 250 ms while connected; a lost link shows
// as not connected and is retried quietly every two seconds. Nothing here ever waits: the
// logger reads the last answer, and tune() only queues a command.
//
// Thread contract: GUI thread only; every signal is emitted on it.
class RigLink : public QObject {
    Q_OBJECT

public:
    static constexpr int kPollMs = 250;
    static constexpr int kRetryMs = 2000;
    // Polls without an answer before the link counts as lost (a rig that stopped answering).
    static constexpr int kUnansweredPolls = 8;

    explicit RigLink(QObject *parent = nullptr);
    ~RigLink() override;

    // Connects (and keeps reconnecting) to rigctld at host:port.
    void start(const QString &host, quint16 port);
    void stop();
    bool isActive() const { return m_active; }
    bool isConnected() const;

    // Last values the rig reported; 0 and empty while not connected.
    qint64 frequencyHz() const { return m_frequencyHz; }
    QString mode() const { return m_mode; }
    // "Rig: not connected" or "Rig: 28400.00 kHz USB".
    QString statusText() const;

    // Asks the rig to move to `hz`; false when not connected (nothing is queued).
    bool tune(qint64 hz);

    // The logger's mode for a rig mode: "CW" for CW and CWR, "PH" for the voice modes, empty for
    // the rest (data modes leave the logger's mode alone).
    static QString loggerModeFor(const QString &rigMode);

signals:
    void connectedChanged(bool connected);
    void frequencyChanged(qint64 hz);
    void modeChanged(const QString &rigMode);
    void statusChanged(const QString &text);

private:
    struct Pending {
        char command;   // 'f', 'm', 'F', 'M'
        int linesLeft;  // answer lines still to come
    };

    void connectNow();
    void poll();
    void send(const QByteArray &line, char command, int answerLines);
    void readAnswers();
    void answerLine(const QByteArray &line);
    void lost();
    void setFrequency(qint64 hz);
    void setMode(const QString &mode);

    QTcpSocket *m_socket = nullptr;
    QTimer *m_pollTimer = nullptr;
    QTimer *m_retryTimer = nullptr;
    QString m_host;
    quint16 m_port = 0;
    bool m_active = false;
    bool m_wasConnected = false;
    bool m_inLost = false;
    QList<Pending> m_pending;
    QByteArray m_buffer;
    int m_unanswered = 0;
    qint64 m_frequencyHz = 0;
    QString m_mode;
};

#pragma once
#include <QObject>
#include <QString>
#include <QTimer>
#include <QUrl>
#include <QVariantList>

#include <functional>

class QNetworkAccessManager;

// The link to fldigi's XML-RPC control interface (127.0.0.1:7362 by default): the call, name,
// state and exchange the operator takes into fldigi's log fields (by clicking or selecting in
// its receive pane), its frequency and modem, polled every 500 ms; text to transmit, sent and
// followed by a return to receive; and an abort. One round of questions at a time, each with a
// timeout, so a program that stops answering never holds anything up; three rounds without an
// answer count as a lost link, and it is tried again at every round.
//
// Thread contract: GUI thread only.
class FldigiLink : public QObject {
    Q_OBJECT
public:
    static constexpr int kPollMs = 500;
    static constexpr int kTimeoutMs = 2000;
    static constexpr quint16 kDefaultPort = 7362;
    static constexpr const char *kSettingsKey = "FldigiAddress";

    struct Fields {
        QString call, name, state, exchange;
        bool operator==(const Fields &) const = default;
    };

    explicit FldigiLink(QObject *parent = nullptr);

    // "host[:port]"; empty stops the link. False with the reason when it cannot be read.
    bool start(const QString &address, QString *error = nullptr);
    void stop();
    bool isActive() const { return m_url.isValid(); }
    bool isConnected() const { return m_connected; }

    // Puts `text` into fldigi's transmit buffer and starts transmitting; fldigi goes back to
    // receive at the text's end. False when not connected.
    bool transmit(const QString &text);
    // Stops a transmission at once (Esc).
    bool abort();

    Fields fields() const { return m_fields; }
    qint64 frequencyHz() const { return m_hz; }
    QString modem() const { return m_modem; }
    // "fldigi: PSK31 on 28120.000 kHz", "fldigi: not answering" ...
    QString statusText() const;
    QTimer &pollTimer() { return m_poll; }

signals:
    void connectedChanged(bool connected);
    void fieldsChanged(const Fields &fields);
    void frequencyChanged(qint64 hz);
    void modemChanged(const QString &modem);
    void statusChanged(const QString &text);

private:
    void call(const QString &method, const QVariantList &params, std::function<void(const QVariant &)> done);
    void poll();
    void roundDone();

    QNetworkAccessManager *m_network;
    QUrl m_url;
    QTimer m_poll;
    int m_inFlight = 0;
    bool m_roundAnswered = false;
    int m_silentRounds = 0;
    bool m_connected = false;
    Fields m_fields, m_round;
    qint64 m_hz = 0;
    QString m_modem;
    QString m_lastStatus;
};

#pragma once
#include "core/qsorecord.h"

#include <QHash>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>

class QUdpSocket;

// Tells the other programs of the shack what the logger does, in the XML datagrams contest
// loggers send on UDP (port 12060 by convention): "contactinfo" for a contact logged,
// "contactreplace" for one edited, "contactdelete" for one deleted, "RadioInfo" with the rig's
// frequency and mode at least every 10 s while a rig is connected. Off until addresses are
// given. Sending is one datagram per target and never waits.
//
// Thread contract: GUI thread only.
class Broadcaster : public QObject {
    Q_OBJECT
public:
    static constexpr quint16 kDefaultPort = 12060;
    static constexpr int kRadioInfoMs = 10000;
    static constexpr const char *kSettingsKey = "BroadcastAddresses";

    struct Station {
        QString call;         // own call
        QString contestName;  // as the report window names the event
        QString number;       // own 10-10 number, sent as the exchange
    };
    struct Target {
        QHostAddress address;
        quint16 port = kDefaultPort;
    };

    explicit Broadcaster(QObject *parent = nullptr);

    // "host[:port], host[:port] ..." (blanks or commas between); false with the reason when one
    // cannot be read, and then nothing changes. An empty text turns broadcasting off.
    bool setTargets(const QString &text, QString *error = nullptr);
    QList<Target> targets() const { return m_targets; }
    bool enabled() const { return !m_targets.isEmpty(); }
    void setStation(const Station &station) { m_station = station; }

    void contactLogged(const QsoRecord &record, qint64 hz);
    void contactReplaced(const QsoRecord &before, const QsoRecord &after, qint64 hz);
    void contactDeleted(const QsoRecord &record);
    // The rig's state; RadioInfo goes out at once on a change and every 10 s while connected.
    void setRadio(bool connected, qint64 hz, const QString &mode);

    // The datagrams, for tests and for anyone who wants to log them.
    QByteArray contactXml(const char *kind, const QsoRecord &record, const QString &id, qint64 hz) const;
    QByteArray radioXml() const;

private:
    QString idFor(const QsoRecord &record, bool take);
    void send(const QByteArray &datagram);

    QUdpSocket *m_socket;
    QList<Target> m_targets;
    Station m_station;
    QHash<QString, QString> m_ids;  // a contact's fields -> the ID the listeners know it by
    QTimer m_radioTimer;
    bool m_radioConnected = false;
    qint64 m_radioHz = 0;
    QString m_radioMode;
};

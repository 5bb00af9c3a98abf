#include "rig/broadcaster.h"
#include "rig/hostport.h"

#include <QCryptographicHash>
#include <QDate>
#include <QRegularExpression>
#include <QSysInfo>
#include <QUdpSocket>
#include <QXmlStreamWriter>

namespace {
// The stored mode as contest tools name it.
QString modeName(const QString &stored)
{
    if (stored.compare(QLatin1String("PH"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("SSB");
    if (stored.compare(QLatin1String("DG"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("RTTY");
    return stored.toUpper();
}

// "yyyy/mm/dd" and "hh:mm[:ss]" as "yyyy-MM-dd hh:mm:ss".
QString timestamp(const QsoRecord &r)
{
    QString date = r.date.trimmed();
    date.replace(u'/', u'-');
    QString time = r.time.trimmed();
    if (time.size() == 5)
        time += QStringLiteral(":00");
    return date + u' ' + time;
}

QString key(const QsoRecord &r)
{
    return r.call + u'\x1f' + r.date + u'\x1f' + r.time + u'\x1f' + r.mode + u'\x1f' + r.name + u'\x1f' + r.qth
           + u'\x1f' + r.memberNumber;
}
}  // namespace

Broadcaster::Broadcaster(QObject *parent) : QObject(parent), m_socket(new QUdpSocket(this))
{
    m_radioTimer.setInterval(kRadioInfoMs);
    connect(&m_radioTimer, &QTimer::timeout, this, [this] { send(radioXml()); });
}

bool Broadcaster::setTargets(const QString &text, QString *error)
{
    QList<Target> targets;
    static const QRegularExpression separators(QStringLiteral("[\\s,;]+"));
    for (const QString &item : text.split(separators, Qt::SkipEmptyParts)) {
        Target t;
        QString host;
        if (!hostport::split(item, kDefaultPort, host, t.port, error))
            return false;
        if (host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0)
            host = QStringLiteral("127.0.0.1");
        if (!t.address.setAddress(host)) {
            if (error)
                *error = QStringLiteral("\"%1\" is not an IP address (for example 127.0.0.1:12060 or "
                                        "192.168.1.255:12060)").arg(item);
            return false;
        }
        targets << t;
    }
    m_targets = targets;
    if (!enabled())
        m_radioTimer.stop();
    else if (m_radioConnected)
        m_radioTimer.start();
    return true;
}

QString Broadcaster::idFor(const QsoRecord &record, bool take)
{
    const QString k = key(record);
    QString id = take ? m_ids.take(k) : m_ids.value(k);
    if (id.isEmpty())  // logged before this run: the same contact always gets the same ID
        id = QString::fromLatin1(QCryptographicHash::hash(k.toUtf8(), QCryptographicHash::Md5).toHex());
    return id;
}

QByteArray Broadcaster::contactXml(const char *kind, const QsoRecord &r, const QString &id, qint64 hz) const
{
    QByteArray out;
    QXmlStreamWriter x(&out);  // escapes what a call, name or comment may hold
    x.setAutoFormatting(true);
    x.writeStartDocument();
    x.writeStartElement(QString::fromLatin1(kind));
    x.writeTextElement(QStringLiteral("app"), QStringLiteral("Vardel"));
    x.writeTextElement(QStringLiteral("contestname"), m_station.contestName);
    x.writeTextElement(QStringLiteral("contestnr"), QStringLiteral("1"));
    x.writeTextElement(QStringLiteral("timestamp"), timestamp(r));
    x.writeTextElement(QStringLiteral("mycall"), m_station.call);
    x.writeTextElement(QStringLiteral("band"), QStringLiteral("28"));
    // Tens of hertz, as these messages count; the band's foot when no rig said where.
    const QString tens = QString::number((hz > 0 ? hz : 28000000) / 10);
    x.writeTextElement(QStringLiteral("rxfreq"), tens);
    x.writeTextElement(QStringLiteral("txfreq"), tens);
    x.writeTextElement(QStringLiteral("operator"), m_station.call);
    x.writeTextElement(QStringLiteral("mode"), modeName(r.mode));
    x.writeTextElement(QStringLiteral("call"), r.call);
    x.writeTextElement(QStringLiteral("snt"), m_station.number);
    x.writeTextElement(QStringLiteral("rcv"), r.memberNumber);
    x.writeTextElement(QStringLiteral("exchange1"), r.memberNumber);
    x.writeTextElement(QStringLiteral("section"), r.qth);
    x.writeTextElement(QStringLiteral("name"), r.name);
    x.writeTextElement(QStringLiteral("points"), r.points);
    x.writeTextElement(QStringLiteral("radionr"), QStringLiteral("1"));
    x.writeTextElement(QStringLiteral("StationName"), QSysInfo::machineHostName());
    x.writeTextElement(QStringLiteral("ID"), id);
    x.writeTextElement(QStringLiteral("IsOriginal"), QStringLiteral("True"));
    x.writeEndElement();
    x.writeEndDocument();
    return out;
}

QByteArray Broadcaster::radioXml() const
{
    QByteArray out;
    QXmlStreamWriter x(&out);
    x.setAutoFormatting(true);
    x.writeStartDocument();
    x.writeStartElement(QStringLiteral("RadioInfo"));
    x.writeTextElement(QStringLiteral("app"), QStringLiteral("Vardel"));
    x.writeTextElement(QStringLiteral("StationName"), QSysInfo::machineHostName());
    x.writeTextElement(QStringLiteral("RadioNr"), QStringLiteral("1"));
    x.writeTextElement(QStringLiteral("Freq"), QString::number(m_radioHz / 10));
    x.writeTextElement(QStringLiteral("TXFreq"), QString::number(m_radioHz / 10));
    x.writeTextElement(QStringLiteral("Mode"), m_radioMode);
    x.writeTextElement(QStringLiteral("OpCall"), m_station.call);
    x.writeTextElement(QStringLiteral("IsRunning"), QStringLiteral("False"));
    x.writeTextElement(QStringLiteral("FocusRadioNr"), QStringLiteral("1"));
    x.writeTextElement(QStringLiteral("ActiveRadioNr"), QStringLiteral("1"));
    x.writeTextElement(QStringLiteral("IsSplit"), QStringLiteral("False"));
    x.writeEndElement();
    x.writeEndDocument();
    return out;
}

void Broadcaster::send(const QByteArray &datagram)
{
    // writeDatagram queues and returns: a listener that is not there costs nothing.
    for (const Target &t : std::as_const(m_targets))
        m_socket->writeDatagram(datagram, t.address, t.port);
}

void Broadcaster::contactLogged(const QsoRecord &record, qint64 hz)
{
    if (!enabled())
        return;
    const QString id = QString::fromLatin1(QCryptographicHash::hash(
        (key(record) + QString::number(QDateTime::currentMSecsSinceEpoch())).toUtf8(), QCryptographicHash::Md5).toHex());
    m_ids.insert(key(record), id);
    send(contactXml("contactinfo", record, id, hz));
}

void Broadcaster::contactReplaced(const QsoRecord &before, const QsoRecord &after, qint64 hz)
{
    if (!enabled())
        return;
    const QString id = idFor(before, true);
    m_ids.insert(key(after), id);
    send(contactXml("contactreplace", after, id, hz));
}

void Broadcaster::contactDeleted(const QsoRecord &record)
{
    if (!enabled())
        return;
    send(contactXml("contactdelete", record, idFor(record, true), 0));
}

void Broadcaster::setRadio(bool connected, qint64 hz, const QString &mode)
{
    const bool changed = connected != m_radioConnected || hz != m_radioHz || mode != m_radioMode;
    m_radioConnected = connected;
    m_radioHz = hz;
    m_radioMode = mode;
    if (!connected || !enabled()) {
        m_radioTimer.stop();
        return;
    }
    if (changed) {
        send(radioXml());
        m_radioTimer.start();  // the next one 10 s after this one
    } else if (!m_radioTimer.isActive()) {
        m_radioTimer.start();
    }
}

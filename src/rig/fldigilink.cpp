#include "rig/fldigilink.h"

#include "rig/hostport.h"
#include "rig/xmlrpc.h"

#include <QHostAddress>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>

FldigiLink::FldigiLink(QObject *parent) : QObject(parent), m_network(new QNetworkAccessManager(this))
{
    m_poll.setInterval(kPollMs);
    connect(&m_poll, &QTimer::timeout, this, &FldigiLink::poll);
}

bool FldigiLink::start(const QString &address, QString *error)
{
    stop();
    const QString text = address.trimmed();
    if (text.isEmpty())
        return true;
    QString host;
    quint16 port = kDefaultPort;
    if (!hostport::split(text, kDefaultPort, host, port, error))
        return false;
    if (host.isEmpty() || host.contains(u'/') || host.contains(u' ')) {
        if (error)
            *error = QStringLiteral("\"%1\" is not a host and port (for example 127.0.0.1:7362)").arg(text);
        return false;
    }
    m_url = QUrl(QStringLiteral("http://%1:%2/RPC2").arg(host).arg(port));
    m_silentRounds = 0;
    m_poll.start();
    poll();
    return true;
}

void FldigiLink::stop()
{
    m_poll.stop();
    m_url = QUrl();
    if (m_connected) {
        m_connected = false;
        emit connectedChanged(false);
    }
}

void FldigiLink::call(const QString &method, const QVariantList &params, std::function<void(const QVariant &)> done)
{
    QNetworkRequest request(m_url);
    request.setHeader(QNetworkRequest::ContentTypeHeader, QStringLiteral("text/xml"));
    request.setTransferTimeout(kTimeoutMs);
    QNetworkReply *reply = m_network->post(request, xmlrpc::request(method, params));
    ++m_inFlight;
    connect(reply, &QNetworkReply::finished, this, [this, reply, done = std::move(done)] {
        reply->deleteLater();
        --m_inFlight;
        if (reply->error() == QNetworkReply::NoError) {
            const xmlrpc::Response r = xmlrpc::parse(reply->readAll());
            m_roundAnswered = true;  // a fault is an answer: the program is there
            if (r.ok && done)
                done(r.value);
        }
        if (m_inFlight == 0)
            roundDone();
    });
}

void FldigiLink::poll()
{
    if (!isActive() || m_inFlight > 0)
        return;  // the last round is still out: never a second one on top
    m_roundAnswered = false;
    m_round = m_fields;
    call(QStringLiteral("log.get_call"), {}, [this](const QVariant &v) { m_round.call = v.toString().trimmed().toUpper(); });
    call(QStringLiteral("log.get_name"), {}, [this](const QVariant &v) { m_round.name = v.toString().trimmed(); });
    call(QStringLiteral("log.get_state"), {}, [this](const QVariant &v) { m_round.state = v.toString().trimmed(); });
    call(QStringLiteral("log.get_exchange"), {}, [this](const QVariant &v) { m_round.exchange = v.toString().trimmed(); });
    call(QStringLiteral("main.get_frequency"), {}, [this](const QVariant &v) {
        const qint64 hz = qint64(v.toDouble());
        if (hz != m_hz) {
            m_hz = hz;
            emit frequencyChanged(hz);
        }
    });
    call(QStringLiteral("modem.get_name"), {}, [this](const QVariant &v) {
        if (v.toString() != m_modem) {
            m_modem = v.toString();
            emit modemChanged(m_modem);
        }
    });
}

void FldigiLink::roundDone()
{
    if (!isActive())
        return;
    if (m_roundAnswered) {
        m_silentRounds = 0;
        if (!m_connected) {
            m_connected = true;
            emit connectedChanged(true);
        }
        if (!(m_round == m_fields)) {
            m_fields = m_round;
            emit fieldsChanged(m_fields);
        }
    } else if (++m_silentRounds >= 3 && m_connected) {
        m_connected = false;
        emit connectedChanged(false);
    }
    const QString status = statusText();
    if (status != m_lastStatus) {
        m_lastStatus = status;
        emit statusChanged(status);
    }
}

bool FldigiLink::transmit(const QString &text)
{
    if (!m_connected || text.isEmpty())
        return false;
    // "^r" at the end of the text puts fldigi back to receive once it has been sent.
    call(QStringLiteral("text.add_tx"), {text + QStringLiteral("^r")}, nullptr);
    call(QStringLiteral("main.tx"), {}, nullptr);
    return true;
}

bool FldigiLink::abort()
{
    if (!m_connected)
        return false;
    call(QStringLiteral("main.abort"), {}, nullptr);
    return true;
}

QString FldigiLink::statusText() const
{
    if (!isActive())
        return QString();
    if (!m_connected)
        return QStringLiteral("fldigi: not answering at %1:%2").arg(m_url.host()).arg(m_url.port());
    const QString where = m_hz > 0 ? QStringLiteral(" on %1 kHz").arg(double(m_hz) / 1000.0, 0, 'f', 3) : QString();
    return QStringLiteral("fldigi: %1%2").arg(m_modem.isEmpty() ? QStringLiteral("connected") : m_modem, where);
}

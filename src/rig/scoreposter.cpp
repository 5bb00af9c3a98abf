#include "rig/scoreposter.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QUrlQuery>
#include <QXmlStreamWriter>

ScorePoster::ScorePoster(QObject *parent) : QObject(parent), m_network(new QNetworkAccessManager(this))
{
    connect(&m_timer, &QTimer::timeout, this, &ScorePoster::postNow);
}

bool ScorePoster::configure(const QString &url, const QString &user, const QString &password, int minutes,
                            QString *error)
{
    const QString text = url.trimmed();
    if (text.isEmpty()) {
        m_url = QUrl();
        m_timer.stop();
        return true;
    }
    const QUrl parsed(text, QUrl::StrictMode);
    if (!parsed.isValid() || (parsed.scheme() != u"http" && parsed.scheme() != u"https") || parsed.host().isEmpty()) {
        if (error)
            *error = QStringLiteral("\"%1\" is not an http:// or https:// address").arg(text);
        return false;
    }
    m_url = parsed;
    m_user = user;
    m_password = password;
    m_timer.start(std::max(1, minutes) * 60 * 1000);
    return true;
}

QByteArray ScorePoster::scoreXml(const Score &s)
{
    QByteArray out;
    QXmlStreamWriter x(&out);  // a call or state cannot break the message
    x.writeStartDocument();
    x.writeStartElement(QStringLiteral("dynamicresults"));
    x.writeTextElement(QStringLiteral("contest"), s.contest);
    x.writeTextElement(QStringLiteral("call"), s.call);
    x.writeTextElement(QStringLiteral("ops"), s.call);
    x.writeStartElement(QStringLiteral("class"));
    x.writeAttribute(QStringLiteral("power"), s.power);
    x.writeAttribute(QStringLiteral("assisted"), QStringLiteral("NON-ASSISTED"));
    x.writeAttribute(QStringLiteral("transmitter"), QStringLiteral("ONE"));
    x.writeAttribute(QStringLiteral("ops"), s.operatorClass);
    x.writeAttribute(QStringLiteral("bands"), QStringLiteral("SINGLE"));
    x.writeAttribute(QStringLiteral("mode"), s.mode);
    x.writeEndElement();
    x.writeTextElement(QStringLiteral("soft"), QStringLiteral("Vardel"));
    x.writeTextElement(QStringLiteral("version"), QStringLiteral("2.9"));
    x.writeStartElement(QStringLiteral("qth"));
    x.writeTextElement(QStringLiteral("stprvoth"), s.state);
    x.writeEndElement();
    x.writeStartElement(QStringLiteral("breakdown"));
    x.writeStartElement(QStringLiteral("qso"));
    x.writeAttribute(QStringLiteral("band"), QStringLiteral("total"));
    x.writeAttribute(QStringLiteral("mode"), QStringLiteral("ALL"));
    x.writeCharacters(QString::number(s.contacts));
    x.writeEndElement();
    x.writeStartElement(QStringLiteral("point"));
    x.writeAttribute(QStringLiteral("band"), QStringLiteral("total"));
    x.writeAttribute(QStringLiteral("mode"), QStringLiteral("ALL"));
    x.writeCharacters(s.score);
    x.writeEndElement();
    x.writeEndElement();
    x.writeTextElement(QStringLiteral("score"), s.score);
    x.writeTextElement(QStringLiteral("timestamp"), s.utc.toUTC().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
    x.writeEndElement();
    x.writeEndDocument();
    return out;
}

void ScorePoster::postNow()
{
    if (!enabled() || !m_source || m_pending)
        return;  // one report at a time: a slow board never piles them up
    QNetworkRequest request(m_url);
    request.setHeader(QNetworkRequest::ContentTypeHeader, QStringLiteral("application/x-www-form-urlencoded"));
    request.setTransferTimeout(20000);
    if (!m_user.isEmpty())
        request.setRawHeader("Authorization",
                             "Basic " + (m_user + u':' + m_password).toUtf8().toBase64());
    QUrlQuery form;
    form.addQueryItem(QStringLiteral("xml"), QString::fromUtf8(scoreXml(m_source())));
    m_pending = m_network->post(request, form.toString(QUrl::FullyEncoded).toUtf8());
    connect(m_pending, &QNetworkReply::finished, this, [this, reply = m_pending] { finished(reply); });
}

void ScorePoster::finished(QNetworkReply *reply)
{
    reply->deleteLater();
    if (reply == m_pending)
        m_pending = nullptr;
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (reply->error() == QNetworkReply::NoError && status >= 200 && status < 300) {
        m_failing = false;
        emit posted();
        return;
    }
    if (m_failing)
        return;  // said once; the next round tries again
    m_failing = true;
    emit failed(reply->error() != QNetworkReply::NoError ? reply->errorString()
                                                         : QStringLiteral("the score board answered %1").arg(status));
}

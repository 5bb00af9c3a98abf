#include "spotting/spotsession.h"

#include "spotting/spotstore.h"

#include <QRegularExpression>

#include <algorithm>

namespace {
const QString kBreak = QStringLiteral("\r\n");
const QString kTwoBreaks = QStringLiteral("\r\n\r\n");

const QString kAgwDownload =
    "- Download the freely available software from https://github.com/wb2osz/direwolf";
const QString kAgwFirst =
    "Unable to connect to the AGW Packet Engine.  To use the AGW Packet Engine to send and "
    "receive packet with your soundcard or devices such a Baypac:";

constexpr SpotSource kSources[] = {SpotSource::None, SpotSource::Tnc, SpotSource::Telnet,
                                   SpotSource::Agw};
}  // namespace

QString spotSourceName(SpotSource source)
{
    switch (source) {
    case SpotSource::Tnc: return QStringLiteral("TNC");
    case SpotSource::Telnet: return QStringLiteral("Telnet");
    case SpotSource::Agw: return QStringLiteral("AGW Packet Engine");
    case SpotSource::None: break;
    }
    return QStringLiteral("None");
}

std::optional<SpotSource> spotSourceFromName(const QString &name)
{
    for (SpotSource s : kSources) {
        if (spotSourceName(s).compare(name, Qt::CaseInsensitive) == 0)
            return s;
    }
    return std::nullopt;
}

SpotSession::SpotSession(const Services &services, QObject *parent)
    : QObject(parent),
      m_services(services),
      m_reception([this](const SpotLine &line) { postSpot(line); }),
      m_telnet(new TelnetLink(this)),
      m_tnc(new TncLink(this)),
      m_agw(new AgwLink(this))
{
    m_tick.setInterval(kTickMs);
    connect(&m_tick, &QTimer::timeout, this, [this] {
        if (++m_ticksWithoutSpot > kRefreshTicks) {
            m_ticksWithoutSpot = 0;
            emit bandMapRefreshDue();
        }
    });

    setContestBandOnly(m_settings.contestBandOnly);
    m_reconnect.setSingleShot(true);
    connect(&m_reconnect, &QTimer::timeout, this, &SpotSession::reconnect);

    connect(m_telnet, &SpotLink::textReceived, this, &SpotSession::telnetText);
    connect(m_telnet, &SpotLink::opened, this, &SpotSession::linkUp);
    connect(m_telnet, &SpotLink::failed, this, &SpotSession::linkFailed);
    connect(m_tnc, &SpotLink::textReceived, this, [this](const QString &text) {
        if (!m_reception.addTncText(text))
            lineTooLong();
        emit terminalChanged();
    });
    connect(m_tnc, &SpotLink::failed, this, [this](const QString &why) {
        appendTerminal(kTwoBreaks + why + kTwoBreaks);
        if (!reconnectLater())
            close();
    });
    connect(m_agw, &SpotLink::opened, this, [this] {
        m_tick.start();
        appendTerminal(kBreak + "** Successfully connected to AGW Packet Engine **" + kTwoBreaks);
        linkUp();
    });
    connect(m_agw, &SpotLink::failed, this, [this](const QString &why) {
        if (m_linkWasUp || isReconnecting()) {
            // A registered link that broke, or the engine still away: say why, and try again.
            appendTerminal(kTwoBreaks + QStringLiteral("** AGW Packet Engine: %1 **").arg(why));
            beep();
            emit connectedStationChanged(QString());
            if (!reconnectLater())
                close();
        } else {
            agwFailed();
        }
    });
    connect(m_agw, &AgwLink::frameReceived, this,
            [this](QChar kind, const QString &from, const QString &data) {
                m_reception.addAgwFrame(kind, from, data, m_agw->connectedCall());
                emit terminalChanged();
            });
    connect(m_agw, &AgwLink::stationConnected, this, [this](const QString &call) {
        appendTerminal("** Connected to " + call + " **");
        emit connectedStationChanged(call);
        beep();
    });
    connect(m_agw, &AgwLink::stationDisconnected, this, [this](const QString &call) {
        beep();
        beep();
        appendTerminal(kBreak + "** Disconnected from " + call + " **" + kBreak);
        emit connectedStationChanged(QString());
    });
    connect(m_agw, &AgwLink::callSignMissing, this, [this] {
        emit alert(QStringLiteral("You must enter a call sign to connect to such as :C Korvex"),
                   QStringLiteral("Call sign Required"), false, false);
    });
}

SpotSession::~SpotSession()
{
    // A connected station is told goodbye before the engine link goes.
    m_agw->close();
}

void SpotSession::setSource(SpotSource source)
{
    m_source = source;
    m_settings.SpotTransport = spotSourceName(source);
}

void SpotSession::setTerminalText(const QString &text)
{
    m_reception.terminal().setText(text);
    emit terminalChanged();
}

void SpotSession::appendTerminal(const QString &text)
{
    m_reception.terminal().append(text);
    emit terminalChanged();
}

void SpotSession::setContestBandOnly(bool on)
{
    m_settings.contestBandOnly = on;
    if (m_services.store)
        m_services.store->setContestBandOnly(on);
}

void SpotSession::setReconnectDelays(int firstMs, int longestMs)
{
    m_firstReconnectMs = std::max(1, firstMs);
    m_longestReconnectMs = std::max(m_firstReconnectMs, longestMs);
}

void SpotSession::open()
{
    m_reconnect.stop();
    m_reconnectAttempt = 0;
    m_linkWasUp = false;
    m_loginPending = false;
    m_reception.dropPartialLines();
    setTerminalText("** Attempting to Open Port **" + kTwoBreaks);
    m_tnc->close();
    if (m_source == SpotSource::None)
        return;
    if (!m_listening) {
        m_listening = true;
        emit listeningChanged(true);
    }
    switch (m_source) {
    case SpotSource::Tnc: openTnc(); break;
    case SpotSource::Telnet: openTelnet(); break;
    case SpotSource::Agw: openAgw(); break;
    case SpotSource::None: break;
    }
}

void SpotSession::openTnc()
{
    const SpotSettings &s = m_settings;
    TncLink::Settings t;
    t.device = m_services.serialDevice ? m_services.serialDevice(s.CommPortNumber) : QString();
    t.baud = s.BaudText.trimmed().toInt();
    t.parity = s.ParityLetter.isEmpty() ? u'N' : s.ParityLetter.front();
    t.dataBits = s.DataBitsText.toInt();
    t.stopBits = s.StopBitsText.toInt();
    t.powerLine = s.PowerLine.isEmpty() ? u'N' : s.PowerLine.front();
    t.handshake = s.HandshakeCode;
    m_tnc->setSettings(t);
    m_tnc->open();
    if (m_tnc->isOpen()) {
        m_tick.start();
        appendTerminal("** TNC Serial Port Open **" + kTwoBreaks);
        return;
    }
    beep();
    appendTerminal("** Unable to open TNC Serial Port **" + kTwoBreaks);
    emit alert(QStringLiteral(
                   "The comm port that you selected for DX Spotting is either in use, invalid or "
                   "the settings that you have selected are invalid.  Please select another "
                   "combination or choose None for your DX Spot selection."),
               QStringLiteral("Invalid Comm Settings."), true, true);
    close();
    m_tick.stop();
}

void SpotSession::openTelnet()
{
    m_telnet->close();
    m_telnet->setAddress(m_settings.telnetHost, m_settings.telnetPort);
    m_telnet->open();
    setTerminalText("Attempting connection to: " + m_settings.telnetHost.trimmed() + ":"
                    + m_settings.telnetPort.trimmed() + kTwoBreaks);
    m_tick.start();
}

void SpotSession::openAgw()
{
    const QString call = m_services.ownCall ? m_services.ownCall().trimmed() : QString();
    if (call.isEmpty()) {
        beep();
        emit alert(QStringLiteral("Please enter your call sign on the setup form to transmit!"),
                   QStringLiteral("Call Sign Required!"), false, false);
        close();
        return;
    }
    m_agw->setOwnCall(call);
    const QString host = m_settings.agwHost.trimmed();
    const int port = m_settings.agwPort;
    m_agw->setAddress(host.isEmpty() ? QStringLiteral("127.0.0.1") : host,
                      port > 0 && port <= 65535 ? quint16(port) : 8000);
    m_agw->open();
}

void SpotSession::agwFailed()
{
    appendTerminal(kAgwFirst + kBreak + kAgwDownload + kTwoBreaks
                   + "- Run the Packet Engine software and configure it as described on the AGW "
                     "Packet Engine website for your sound card or TNC."
                   + kBreak + "- Click Open from this program." + kTwoBreaks);
    emit alert(kAgwFirst + "\n\n" + kAgwDownload + "\n\n"
                   + "- Make sure the AGW Packet Engine software is running and configure it as "
                     "described on the AGW Packet Engine website.",
               QStringLiteral("Unable to connect to the AGW Packet Engine."), false, true);
    close();
    m_tick.stop();
}

void SpotSession::close()
{
    if (!m_listening)
        return;
    m_listening = false;
    m_reconnect.stop();
    m_reconnectAttempt = 0;
    m_linkWasUp = false;
    m_loginPending = false;
    m_reception.dropPartialLines();
    appendTerminal(kTwoBreaks + "** Port Closed **");
    m_tnc->close();
    m_telnet->close();
    if (m_source == SpotSource::Agw) {
        if (!m_agw->connectedCall().isEmpty())
            emit connectedStationChanged(QString());
        m_agw->close();
    }
    m_tick.stop();
    emit listeningChanged(false);
}

void SpotSession::sendLine(const QString &text)
{
    if (!m_listening)
        open();
    switch (m_source) {
    case SpotSource::Tnc:
        m_tnc->sendLine(text);
        break;
    case SpotSource::Telnet:
        if (!m_telnet->sendLine(text))
            appendTerminal("**  Connection not yet established.  Please wait a moment and try again."
                           + kTwoBreaks);
        break;
    case SpotSource::Agw:
        if (isRunning())
            m_agw->sendLine(text);
        break;
    case SpotSource::None:
        break;
    }
}

bool SpotSession::sendLongAgwLine(const QString &text)
{
    if (m_source != SpotSource::Agw || !isRunning())
        return false;
    if (text.size() > 70 && text.endsWith(u' ')) {
        m_agw->sendLine(text.chopped(1));
        return true;
    }
    return false;
}

bool SpotSession::sendTncCommandByte()
{
    if (!m_listening)
        open();
    if (!m_tnc->isOpen() || m_source != SpotSource::Tnc)
        return false;
    bool ok = false;
    const int code = m_settings.hexText.trimmed().toInt(&ok, 16);
    if (ok && code >= 0 && code <= 255)
        m_tnc->sendByte(char(code));
    return true;
}

void SpotSession::lineTooLong()
{
    // One guard for both line sources: a peer that never ends its line is broken, or speaks
    // another framing.
    const QString text =
        m_source == SpotSource::Tnc
            ? kTwoBreaks + QStringLiteral("** The TNC sent a line of more than %1 characters; the "
                                          "port was closed. Check the speed and framing. **")
                               .arg(SpotReception::kMaxLine)
            : QStringLiteral("ERROR: The cluster sent a line of more than %1 characters; the "
                             "connection was closed.")
                  .arg(SpotReception::kMaxLine);
    if (m_source == SpotSource::Tnc) {
        appendTerminal(text);
        close();
    } else {
        linkFailed(text);
    }
}

void SpotSession::linkFailed(const QString &message)
{
    appendTerminal(message);
    if (!reconnectLater())
        close();
    beep();
}

bool SpotSession::reconnectLater()
{
    // A link that never came up after the operator's Open has wrong settings: that is said,
    // and the source closes. One that was up went away, and comes back by itself.
    if (!m_listening || !(m_linkWasUp || isReconnecting()))
        return false;
    m_reception.dropPartialLines();
    m_telnet->close();
    m_tnc->close();
    m_linkWasUp = false;
    m_loginPending = false;
    qint64 delay = m_firstReconnectMs;
    for (int i = 0; i < m_reconnectAttempt && delay < m_longestReconnectMs; ++i)
        delay *= 2;
    delay = std::min<qint64>(delay, m_longestReconnectMs);
    ++m_reconnectAttempt;
    appendTerminal(kTwoBreaks
                   + QStringLiteral("** Connection lost. Reconnecting in %1 s (attempt %2) **")
                         .arg(QString::number(double(delay) / 1000.0))
                         .arg(m_reconnectAttempt)
                   + kTwoBreaks);
    m_reconnect.start(int(delay));
    return true;
}

void SpotSession::reconnect()
{
    if (!m_listening)
        return;
    m_reception.dropPartialLines();
    switch (m_source) {
    case SpotSource::Telnet:
        appendTerminal("Attempting connection to: " + m_settings.telnetHost.trimmed() + ":"
                       + m_settings.telnetPort.trimmed() + kTwoBreaks);
        m_telnet->setAddress(m_settings.telnetHost, m_settings.telnetPort);
        m_telnet->open();
        break;
    case SpotSource::Agw:
        m_agw->open();
        break;
    case SpotSource::Tnc:
        m_tnc->open();
        if (m_tnc->isOpen()) {
            appendTerminal("** TNC Serial Port Open **" + kTwoBreaks);
            linkUp();
        } else {
            appendTerminal("** Unable to open TNC Serial Port: " + m_tnc->lastError() + " **");
            reconnectLater();
        }
        break;
    case SpotSource::None:
        break;
    }
}

void SpotSession::linkUp()
{
    if (isReconnecting()) {
        m_loginPending = m_source == SpotSource::Telnet;
        appendTerminal("** Reconnected **" + kTwoBreaks);
    }
    m_reconnectAttempt = 0;
    m_linkWasUp = true;
}

void SpotSession::telnetText(const QString &text)
{
    if (!m_reception.addTelnetText(text))
        lineTooLong();
    // A cluster that lost the station asks for its call again; the operator typed it the
    // first time, the reconnect answers it.
    static const QRegularExpression prompt(
        QStringLiteral("(login|call|callsign|call sign)\\s*[:>]?\\s*$"),
        QRegularExpression::CaseInsensitiveOption);
    const QString own = m_services.ownCall ? m_services.ownCall().trimmed() : QString();
    if (m_loginPending && !own.isEmpty() && prompt.match(text).hasMatch()) {
        m_loginPending = false;
        m_telnet->sendLine(own);
    }
    emit terminalChanged();
}

void SpotSession::beep()
{
    if (m_services.beep)
        m_services.beep();
}

void SpotSession::postSpot(const SpotLine &line)
{
    m_ticksWithoutSpot = 0;
    if (m_services.store)
        m_services.store->BandMapSpots(line);
}

#include "spotting/spotlink.h"

#include "core/fieldfile.h"

#include <QHash>
#include <QStringDecoder>

#include <algorithm>

namespace {
// Received bytes are read in pieces of at most this size, so one read never allocates more.
constexpr qint64 kReadChunk = 64 * 1024;
}  // namespace

int socketErrorNumber(QAbstractSocket::SocketError error)
{
    switch (error) {
    case QAbstractSocket::ConnectionRefusedError: return 10061;
    case QAbstractSocket::RemoteHostClosedError: return 10058;
    case QAbstractSocket::HostNotFoundError: return 11001;
    case QAbstractSocket::SocketAccessError: return 10013;
    case QAbstractSocket::SocketResourceError: return 10055;
    case QAbstractSocket::SocketTimeoutError: return 10060;
    case QAbstractSocket::DatagramTooLargeError: return 10040;
    case QAbstractSocket::NetworkError: return 10051;
    case QAbstractSocket::AddressInUseError: return 10048;
    case QAbstractSocket::SocketAddressNotAvailableError: return 10049;
    case QAbstractSocket::UnsupportedSocketOperationError: return 10043;
    case QAbstractSocket::OperationError: return 10036;
    case QAbstractSocket::TemporaryError: return 10035;
    default: return 10050;
    }
}

QString socketErrorText(int number)
{
    static const QHash<int, const char *> texts = {
        {7, "ERROR: Out of memory."},
        {380, "ERROR: The property value is invalid."},
        {383, "ERROR: The property is read-only."},
        {394, "ERROR: The property can't be read."},
        {1004, "ERROR: The operation was canceled."},
        {10014, "ERROR: The requested address is a broadcast address, but flag is not set."},
        {10035, "ERROR: Socket is non-blocking and the specified operation will block."},
        {10036, "ERROR: A blocking Winsock operation in progress."},
        {10037, "ERROR: The operation is completed. No blocking operation in progress"},
        {10038, "ERROR: The descriptor is not a socket."},
        {10040, "ERROR: The datagram is too large to fit into the buffer and is truncated."},
        {10043, "ERROR: The specified port is not supported."},
        {10048, "ERROR: Address in use."},
        {10049, "ERROR: Address not available from the local machine."},
        {10050, "ERROR: Network subsystem failed."},
        {10051, "ERROR: The network cannot be reached from this host at this time."},
        {10052, "ERROR: Connection has timed out when SO_KEEPALIVE is set."},
        {10053, "ERROR: Connection is aborted due to timeout or other failure."},
        {10054, "ERROR: The connection is reset by remote side.!"},
        {10055, "ERROR: No buffer space is available."},
        {10056, "ERROR: Socket is already connected."},
        {10057, "ERROR: Socket is not connected."},
        {10058, "ERROR: Socket has been shut down."},
        {10060, "ERROR: The connection attempt timed out."},
        {10061, "ERROR: Connection is forcefully rejected."},
        {10093, "ERROR: WinsockInit should be called first."},
        {11001, "ERROR: Authoritative answer: Host not found."},
        {11002, "ERROR: Non-Authoritative answer: Host not found."},
        {11003, "ERROR: Non-recoverable errors."},
        {11004, "ERROR: Valid name, no data record of requested type."},
    };
    const auto it = texts.constFind(number);
    if (it == texts.constEnd())
        return QStringLiteral("Error number %1").arg(number);
    return QString::fromLatin1(it.value());
}

QString terminalText(const QByteArray &bytes)
{
    // Each line on its own: UTF-8 where its bytes are valid UTF-8, Windows-1252 otherwise, so
    // one node's old code page does not garble another's umlauts.
    QString text;
    text.reserve(bytes.size());
    qsizetype start = 0;
    while (start < bytes.size()) {
        qsizetype end = bytes.indexOf('\n', start);
        end = end < 0 ? bytes.size() : end + 1;
        const QByteArrayView line(bytes.constData() + start, end - start);
        start = end;
        if (std::all_of(line.begin(), line.end(), [](char c) { return uchar(c) < 0x80; })) {
            text += QLatin1StringView(line);
            continue;
        }
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QString decoded = utf8(line);
        text += utf8.hasError() ? fieldfile::decode1252(line.toByteArray()) : decoded;
    }
    text.removeIf([](QChar c) {
        return c.unicode() < 0x20 && c != u'\r' && c != u'\n' && c != u'\t';
    });
    return text;
}

QString PeerTextDecoder::decode(const QByteArray &chunk)
{
    QByteArray bytes = m_held + chunk;
    m_held.clear();
    // A character whose bytes the next read finishes waits for them.
    for (qsizetype back = 1; back <= 4 && back <= bytes.size(); ++back) {
        const auto b = uchar(bytes.at(bytes.size() - back));
        if (b >= 0x80 && b <= 0xBF)
            continue;
        const qsizetype needed = b >= 0xF0 && b <= 0xF4 ? 4 : b >= 0xE0 ? 3 : b >= 0xC2 ? 2 : 1;
        if (b < 0xF5 && needed > back) {
            m_held = bytes.right(back);
            bytes.chop(back);
        }
        break;
    }
    return terminalText(bytes);
}

// ---------------------------------------------------------------------------------------------

TelnetLink::TelnetLink(QObject *parent) : SpotLink(parent)
{
    m_socket.setReadBufferSize(kReadChunk);
    m_connectTimeout.setSingleShot(true);
    m_connectTimeout.setInterval(kConnectTimeoutMs);
    connect(&m_connectTimeout, &QTimer::timeout, this, [this] {
        fail(socketErrorText(socketErrorNumber(QAbstractSocket::SocketTimeoutError)));
    });
    connect(&m_socket, &QTcpSocket::connected, this, [this] {
        m_connectTimeout.stop();
        emit opened();
    });
    connect(&m_socket, &QTcpSocket::readyRead, this, &TelnetLink::readAvailable);
    connect(&m_socket, &QTcpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError e) {
        fail(socketErrorText(socketErrorNumber(e)));
    });
}

void TelnetLink::setAddress(const QString &host, const QString &port)
{
    m_host = host.trimmed();
    m_port = port.trimmed();
}

void TelnetLink::open()
{
    m_socket.abort();
    m_codec = TelnetCodec();
    m_text = PeerTextDecoder();
    m_lineLength = 0;
    bool ok = false;
    const int port = m_port.toInt(&ok);
    if (!ok || port <= 0 || port > 65535 || m_host.isEmpty()) {
        // Report after the caller has shown its "Attempting connection" text.
        QTimer::singleShot(0, this, [this] { fail(socketErrorText(380)); });
        return;
    }
    m_connectTimeout.start();
    m_socket.connectToHost(m_host, quint16(port));
}

void TelnetLink::close()
{
    m_connectTimeout.stop();
    m_socket.abort();
}

bool TelnetLink::isOpen() const
{
    return m_socket.state() != QAbstractSocket::UnconnectedState;
}

bool TelnetLink::isConnected() const
{
    return m_socket.state() == QAbstractSocket::ConnectedState;
}

bool TelnetLink::sendLine(const QString &line)
{
    if (!isConnected())
        return false;
    m_socket.write(TelnetCodec::encode(fieldfile::encode1252(line + QLatin1String("\r\n"))));
    return true;
}

void TelnetLink::fail(const QString &message)
{
    m_connectTimeout.stop();
    m_socket.abort();
    emit failed(message);
}

void TelnetLink::readAvailable()
{
    while (m_socket.bytesAvailable() > 0) {
        QByteArray reply;
        const QByteArray data = m_codec.decode(m_socket.read(kReadChunk), reply);
        if (!reply.isEmpty())
            m_socket.write(reply);
        if (data.isEmpty())
            continue;
        // A cluster ends its lines; megabytes without a line end mean the peer is broken.
        const qsizetype lf = data.lastIndexOf('\n');
        m_lineLength = lf >= 0 ? data.size() - lf - 1 : m_lineLength + data.size();
        if (m_lineLength > kMaxLine) {
            fail(QStringLiteral("ERROR: The cluster sent more than %1 characters without a line "
                                "end; the connection was closed.")
                     .arg(kMaxLine));
            return;
        }
        emit textReceived(m_text.decode(data));
        if (m_socket.state() != QAbstractSocket::ConnectedState)
            return;
    }
}

// ---------------------------------------------------------------------------------------------

TncLink::TncLink(QObject *parent) : SpotLink(parent)
{
    m_port.setReadBufferSize(kReadChunk);
    connect(&m_port, &QSerialPort::readyRead, this, [this] {
        while (m_port.bytesAvailable() > 0)
            emit textReceived(m_text.decode(m_port.read(kReadChunk)));
    });
    connect(&m_port, &QSerialPort::errorOccurred, this, [this](QSerialPort::SerialPortError e) {
        // A TNC unplugged while open; other errors are reported where they happen.
        if (e == QSerialPort::ResourceError && m_port.isOpen()) {
            m_port.close();
            emit failed(QStringLiteral("** TNC Serial Port lost: %1 **").arg(m_port.errorString()));
        }
    });
}

QString TncLink::openPort()
{
    const Settings &s = m_settings;
    if (s.device.isEmpty())
        return QStringLiteral("no device for the port");
    m_port.setPortName(s.device);
    const bool hardware = s.handshake == 3 || s.handshake == 4;
    const bool software = s.handshake == 2 || s.handshake == 4;
    m_port.setBaudRate(s.baud);
    m_port.setParity(s.parity == u'E'   ? QSerialPort::EvenParity
                     : s.parity == u'O' ? QSerialPort::OddParity
                                        : QSerialPort::NoParity);
    m_port.setDataBits(s.dataBits == 7 ? QSerialPort::Data7 : QSerialPort::Data8);
    m_port.setStopBits(s.stopBits == 2 ? QSerialPort::TwoStop : QSerialPort::OneStop);
    // Both handshakes at once cannot be had on this port; hardware handshaking wins, and the
    // driver keeps RTS raised for it.
    m_port.setFlowControl(hardware   ? QSerialPort::HardwareControl
                          : software ? QSerialPort::SoftwareControl
                                     : QSerialPort::NoFlowControl);
    if (!m_port.open(QIODevice::ReadWrite))
        return m_port.errorString();
    // The lines start low; a port without modem lines (a pseudo-terminal) has nothing to lower.
    m_port.setDataTerminalReady(false);
    if (!hardware)
        m_port.setRequestToSend(false);
    m_port.clearError();
    // The power line must really come up, or the TNC stays dark.
    bool powered = true;
    if (s.powerLine == u'R' && !hardware)
        powered = m_port.setRequestToSend(true);
    else if (s.powerLine == u'D')
        powered = m_port.setDataTerminalReady(true);
    if (!powered) {
        const QString why = m_port.errorString();
        m_port.close();
        return why;
    }
    return QString();
}

void TncLink::open()
{
    close();
    m_text = PeerTextDecoder();
    m_lastError = openPort();
    if (m_lastError.isEmpty())
        emit opened();
}

void TncLink::close()
{
    if (m_port.isOpen())
        m_port.close();
}

bool TncLink::isOpen() const
{
    return m_port.isOpen();
}

bool TncLink::sendLine(const QString &line)
{
    if (!m_port.isOpen())
        return false;
    m_port.write(fieldfile::encode1252(line + u'\r'));
    return true;
}

bool TncLink::sendByte(char byte)
{
    if (!m_port.isOpen())
        return false;
    m_port.write(QByteArray(1, byte));
    return true;
}

// ---------------------------------------------------------------------------------------------

AgwLink::AgwLink(QObject *parent) : SpotLink(parent)
{
    m_socket.setReadBufferSize(kReadChunk);
    m_registerTimeout.setSingleShot(true);
    m_registerTimeout.setInterval(kRegisterTimeoutMs);
    connect(&m_registerTimeout, &QTimer::timeout, this,
            [this] { fail(QStringLiteral("the engine did not answer the registration")); });
    connect(&m_socket, &QTcpSocket::connected, this,
            [this] { send(agw::registerCall(m_ownCall)); });
    connect(&m_socket, &QTcpSocket::readyRead, this, &AgwLink::readAvailable);
    connect(&m_socket, &QTcpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError e) {
        fail(socketErrorText(socketErrorNumber(e)));
    });
}

void AgwLink::open()
{
    m_socket.abort();
    m_decoder = AgwDecoder();
    m_registered = false;
    m_connectedCall.clear();
    m_registerTimeout.start();
    m_socket.connectToHost(m_host, m_port);
}

void AgwLink::close()
{
    m_registerTimeout.stop();
    if (!m_connectedCall.isEmpty() && m_socket.state() == QAbstractSocket::ConnectedState) {
        send(agw::disconnectFrom(m_ownCall, m_connectedCall));
        m_socket.flush();
    }
    m_connectedCall.clear();
    m_registered = false;
    m_socket.disconnectFromHost();
    if (m_socket.state() != QAbstractSocket::UnconnectedState)
        m_socket.abort();
}

void AgwLink::send(const AgwFrame &frame)
{
    if (m_socket.state() == QAbstractSocket::ConnectedState)
        m_socket.write(frame.encode());
}

void AgwLink::fail(const QString &message)
{
    m_registerTimeout.stop();
    m_registered = false;
    m_connectedCall.clear();
    m_socket.abort();
    emit failed(message);
}

bool AgwLink::sendLine(const QString &line)
{
    if (!line.startsWith(u':')) {
        if (m_connectedCall.isEmpty())
            return false;
        send(agw::sendData(m_ownCall, m_connectedCall, fieldfile::encode1252(line + u'\r')));
        return true;
    }
    const QChar command = line.size() > 1 ? line.at(1).toUpper() : QChar();
    const QString argument = line.mid(2).trimmed().toUpper();
    if (command == u'D') {
        if (m_connectedCall.isEmpty())
            return false;
        send(agw::disconnectFrom(m_ownCall, m_connectedCall));
        return true;
    }
    if (command == u'C') {
        if (argument.isEmpty()) {
            emit callSignMissing();
            return false;
        }
        send(agw::connectTo(m_ownCall, argument));
        return true;
    }
    return false;
}

void AgwLink::readAvailable()
{
    while (m_socket.bytesAvailable() > 0) {
        const QList<AgwFrame> frames = m_decoder.feed(m_socket.read(kReadChunk));
        if (m_decoder.failed()) {
            fail(QStringLiteral("the engine sent %1; the connection was closed")
                     .arg(m_decoder.error()));
            return;
        }
        for (const AgwFrame &frame : frames) {
            handle(frame);
            if (m_socket.state() != QAbstractSocket::ConnectedState)
                return;
        }
    }
}

void AgwLink::handle(const AgwFrame &frame)
{
    const QString from = QString::fromLatin1(frame.callFrom);
    switch (frame.kind) {
    case 'X':
        m_registerTimeout.stop();
        if (frame.data.isEmpty() || frame.data.at(0) != 1) {
            fail(QStringLiteral("the engine refused the call %1").arg(m_ownCall));
            return;
        }
        m_registered = true;
        send(agw::monitoringOn());
        emit opened();
        return;
    case 'U': case 'I': case 'S': case 'T': case 'D': case 'C': case 'd':
        break;
    default:
        return;  // version, port and heard lists and the like: not for the terminal
    }
    emit frameReceived(QChar::fromLatin1(frame.kind), from, terminalText(frame.data));
    if (frame.kind == 'C' && m_connectedCall.isEmpty()) {
        m_connectedCall = from;
        emit stationConnected(from);
    } else if (frame.kind == 'd' && !m_connectedCall.isEmpty()
               && from.compare(m_connectedCall, Qt::CaseInsensitive) == 0) {
        m_connectedCall.clear();
        emit stationDisconnected(from);
    }
}

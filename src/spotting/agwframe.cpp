#include "spotting/agwframe.h"

#include <QtEndian>

namespace {
void putCall(QByteArray &header, int offset, const QByteArray &call)
{
    // Ten bytes, NUL padded; a longer call is cut so it cannot spill into the next field.
    const QByteArray c = call.left(9);
    for (int i = 0; i < c.size(); ++i)
        header[offset + i] = c.at(i);
}

QByteArray takeCall(const char *field)
{
    int n = 0;
    while (n < 10 && field[n] != '\0')
        ++n;
    return QByteArray(field, n).trimmed();
}

QByteArray ascii(const QString &text)
{
    return text.trimmed().toUpper().toLatin1();
}
}  // namespace

QByteArray AgwFrame::encode() const
{
    QByteArray out(AgwDecoder::kHeaderLength, '\0');
    out[0] = char(port);
    out[4] = kind;
    out[6] = char(pid);
    putCall(out, 8, callFrom);
    putCall(out, 18, callTo);
    qToLittleEndian<quint32>(quint32(data.size()), out.data() + 28);
    return out + data;
}

namespace agw {
AgwFrame registerCall(const QString &ownCall)
{
    AgwFrame f;
    f.kind = 'X';
    f.callFrom = ascii(ownCall);
    return f;
}

AgwFrame monitoringOn()
{
    AgwFrame f;
    f.kind = 'm';
    return f;
}

AgwFrame connectTo(const QString &ownCall, const QString &station)
{
    AgwFrame f;
    f.kind = 'C';
    f.pid = 0xF0;
    f.callFrom = ascii(ownCall);
    f.callTo = ascii(station);
    return f;
}

AgwFrame disconnectFrom(const QString &ownCall, const QString &station)
{
    AgwFrame f = connectTo(ownCall, station);
    f.kind = 'd';
    return f;
}

AgwFrame sendData(const QString &ownCall, const QString &station, const QByteArray &data)
{
    AgwFrame f = connectTo(ownCall, station);
    f.kind = 'D';
    f.data = data;
    return f;
}
}  // namespace agw

QList<AgwFrame> AgwDecoder::feed(const QByteArray &bytes)
{
    QList<AgwFrame> frames;
    if (failed())
        return frames;
    m_buffer.append(bytes);
    qsizetype pos = 0;
    while (m_buffer.size() - pos >= kHeaderLength) {
        const char *h = m_buffer.constData() + pos;
        const quint32 length = qFromLittleEndian<quint32>(h + 28);
        if (length > kMaxDataLength) {
            m_error = QStringLiteral("a frame of %1 bytes").arg(length);
            m_buffer.clear();
            return frames;
        }
        if (m_buffer.size() - pos < kHeaderLength + qsizetype(length))
            break;
        AgwFrame f;
        f.port = quint8(h[0]);
        f.kind = h[4];
        f.pid = quint8(h[6]);
        f.callFrom = takeCall(h + 8);
        f.callTo = takeCall(h + 18);
        f.data = QByteArray(h + kHeaderLength, std::min<qsizetype>(length, kKeptDataLength));
        frames.append(f);
        pos += kHeaderLength + length;
    }
    m_buffer.remove(0, pos);
    return frames;
}

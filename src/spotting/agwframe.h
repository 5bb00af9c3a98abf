#pragma once
#include <QByteArray>
#include <QList>
#include <QString>

// One frame of the packet engine's TCP/IP API: a 36-byte little-endian header (radio port,
// data kind, PID, from and to calls of 10 bytes each, data length, reserved) and the data.
struct AgwFrame {
    quint8 port = 0;
    char kind = 0;
    quint8 pid = 0;
    QByteArray callFrom;  // up to its first NUL
    QByteArray callTo;
    QByteArray data;

    QByteArray encode() const;
};

// Frames the logger sends.
namespace agw {
AgwFrame registerCall(const QString &ownCall);          // 'X'
AgwFrame monitoringOn();                                 // 'm'
AgwFrame connectTo(const QString &ownCall, const QString &station);      // 'C'
AgwFrame disconnectFrom(const QString &ownCall, const QString &station); // 'd'
AgwFrame sendData(const QString &ownCall, const QString &station, const QByteArray &data);  // 'D'
}  // namespace agw

// Cuts the engine's byte stream into frames. Data lengths come from the peer, so they are
// bounded: a frame claiming more than kMaxDataLength bytes means the stream is not the API
// (or the engine is broken) and the decoder stops for good with an error.
class AgwDecoder {
public:
    static constexpr int kHeaderLength = 36;
    static constexpr quint32 kMaxDataLength = 65536;
    // What the logger keeps of one frame's data, as its receive buffer always did.
    static constexpr int kKeptDataLength = 4000;

    // Appends bytes and returns the frames completed by them.
    QList<AgwFrame> feed(const QByteArray &bytes);
    bool failed() const { return !m_error.isEmpty(); }
    QString error() const { return m_error; }

private:
    QByteArray m_buffer;
    QString m_error;
};

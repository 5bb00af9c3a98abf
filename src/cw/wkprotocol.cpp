#include "cw/wkprotocol.h"

namespace wkproto {

namespace {
QByteArray bytes(std::initializer_list<quint8> list)
{
    QByteArray out;
    out.reserve(qsizetype(list.size()));
    for (quint8 b : list)
        out.append(char(b));
    return out;
}
}  // namespace

QByteArray hostOpen() { return bytes({0x00, 0x02}); }
QByteArray hostClose() { return bytes({0x00, 0x03}); }
QByteArray echoTest(quint8 probe) { return bytes({0x00, 0x04, probe}); }
QByteArray speed(quint8 wpm) { return bytes({0x02, wpm}); }
QByteArray weight(quint8 weight) { return bytes({0x03, weight}); }
QByteArray leadTail(quint8 leadIn, quint8 tail) { return bytes({0x04, leadIn, tail}); }
QByteArray backspace() { return bytes({0x08}); }
QByteArray pinConfig(quint8 config) { return bytes({0x09, config}); }
QByteArray clearBuffer() { return bytes({0x0A}); }
QByteArray mode(quint8 mode) { return bytes({0x0E, mode}); }
QByteArray statusRequest() { return bytes({0x15}); }
QByteArray ditDahRatio(quint8 ratio) { return bytes({0x17, ratio}); }

QByteArray character(quint8 code)
{
    if (code < 0x20 || code > 0x7E)
        return {};
    return bytes({code});
}

QList<Event> Decoder::feed(const QByteArray &data)
{
    QList<Event> events;
    for (char c : data) {
        const auto b = quint8(c);
        if ((b & 0xE0) == 0xC0)
            events.append({Event::Status, quint8(b & 0x1F)});
        else if ((b & 0xC0) == 0x80)
            events.append({Event::SpeedPot, quint8(b & 0x3F)});
        else if (m_awaiting) {
            m_awaiting = false;
            events.append({Event::Answer, b});
        } else
            events.append({Event::Echo, b});
    }
    return events;
}

}  // namespace wkproto

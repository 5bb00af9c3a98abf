#pragma once
#include <QByteArray>
#include <QList>

// The keyer's host protocol as plain bytes: commands the host writes, and a decoder for what the
// keyer sends back. No port, no timing; the WinKeyer class drives it.
namespace wkproto {

// Line settings of the keyer's serial link.
constexpr int kBaudRate = 1200;  // 8 data bits, no parity, 2 stop bits

// Mode register bit that makes the keyer echo each character as it keys it. The host always
// sets it: the count of characters not yet echoed is how it knows what is still pending.
constexpr quint8 kSerialEchoBit = 0x04;

// Status byte bits (the byte itself is 110xxxxx).
constexpr quint8 kStatusXoff = 0x01;  // buffer more than two thirds full
constexpr quint8 kStatusBusy = 0x04;  // keying, or characters waiting

QByteArray hostOpen();                 // 00 02, answered by the version byte
QByteArray hostClose();                // 00 03
QByteArray echoTest(quint8 probe);     // 00 04 b, answered by b
QByteArray speed(quint8 wpm);          // 02 w (0: follow the speed pot)
QByteArray weight(quint8 weight);      // 03 w
QByteArray leadTail(quint8 leadIn, quint8 tail);  // 04 l t, 10 ms steps
QByteArray backspace();                // 08
QByteArray pinConfig(quint8 config);   // 09 p
QByteArray clearBuffer();              // 0A
QByteArray mode(quint8 mode);          // 0E m
QByteArray statusRequest();            // 15
QByteArray ditDahRatio(quint8 ratio);  // 17 r
// A character to key. Command codes (below 0x20) and bytes past 0x7E are not characters; they
// come back empty so a stray Enter or Tab can never start a command in the keyer (0x0D would
// take the next character as its argument).
QByteArray character(quint8 code);

// What one byte from the keyer means.
struct Event {
    enum Kind { Status, SpeedPot, Echo, Answer };
    Kind kind;
    quint8 value;  // status bits, pot value (0..63), echoed character, or the awaited answer
    bool operator==(const Event &) const = default;
};

// Splits the keyer's byte stream into events. Status bytes are 110xxxxx and pot bytes 10xxxxxx
// at any time; while an admin command awaits its answer (the version after host open, the probe
// after the echo test), the next other byte is that answer; every other byte is an echo.
class Decoder {
public:
    void expectAnswer() { m_awaiting = true; }
    void cancelAnswer() { m_awaiting = false; }
    bool awaitingAnswer() const { return m_awaiting; }
    QList<Event> feed(const QByteArray &bytes);

private:
    bool m_awaiting = false;
};

}  // namespace wkproto

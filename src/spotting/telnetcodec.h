#pragma once
#include <QByteArray>

// Telnet bytes from a DX cluster: strips option negotiation so it is never shown, and answers
// it. The logger wants a plain line-mode session, so it refuses every option the server offers
// or asks for (DO gives WONT, WILL gives DONT) and never answers a refusal, which keeps
// negotiation from looping. A sequence split across reads is finished on the next read.
class TelnetCodec {
public:
    static constexpr unsigned char IAC = 255, DONT = 254, DO = 253, WONT = 252, WILL = 251,
                                   SB = 250, SE = 240;
    // Subnegotiation longer than this is not telnet any more; the rest is dropped. A line end
    // inside one ends it too: a sequence cut short must not swallow the lines after it.
    static constexpr int kMaxSubnegotiation = 1024;

    // Returns the data bytes of `input`; appends the answers to send back to `reply`.
    QByteArray decode(const QByteArray &input, QByteArray &reply);
    // Doubles IAC bytes so text goes out as data.
    static QByteArray encode(const QByteArray &text);

private:
    enum class State { Data, Command, Option, Sub, SubIac };
    State m_state = State::Data;
    unsigned char m_verb = 0;
    int m_subLength = 0;
};

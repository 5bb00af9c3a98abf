#include "spotting/telnetcodec.h"

QByteArray TelnetCodec::decode(const QByteArray &input, QByteArray &reply)
{
    QByteArray data;
    data.reserve(input.size());
    for (const char ch : input) {
        const auto b = static_cast<unsigned char>(ch);
        switch (m_state) {
        case State::Data:
            if (b == IAC)
                m_state = State::Command;
            else
                data.append(ch);
            break;
        case State::Command:
            if (b == IAC) {
                data.append(ch);
                m_state = State::Data;
            } else if (b == DO || b == DONT || b == WILL || b == WONT) {
                m_verb = b;
                m_state = State::Option;
            } else if (b == SB) {
                m_subLength = 0;
                m_state = State::Sub;
            } else {
                // NOP, GA, AYT and the like carry nothing to show.
                m_state = State::Data;
            }
            break;
        case State::Option:
            if (m_verb == DO)
                reply.append(char(IAC)).append(char(WONT)).append(ch);
            else if (m_verb == WILL)
                reply.append(char(IAC)).append(char(DONT)).append(ch);
            m_state = State::Data;
            break;
        case State::Sub:
            if (b == IAC) {
                m_state = State::SubIac;
            } else if (b == '\r' || b == '\n') {
                // Option data never holds a line end: the sequence was broken, and what
                // follows is text again (the next spot).
                data.append(ch);
                m_state = State::Data;
            }
            else if (++m_subLength > kMaxSubnegotiation)
                m_state = State::Data;
            break;
        case State::SubIac:
            m_state = b == SE ? State::Data : State::Sub;
            break;
        }
    }
    return data;
}

QByteArray TelnetCodec::encode(const QByteArray &text)
{
    QByteArray out;
    out.reserve(text.size());
    for (const char ch : text) {
        out.append(ch);
        if (static_cast<unsigned char>(ch) == IAC)
            out.append(ch);
    }
    return out;
}

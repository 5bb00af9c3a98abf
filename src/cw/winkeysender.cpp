#include "cw/winkeysender.h"

#include "cw/winkeyer.h"

#include <QTimer>

WinKeySender::WinKeySender(WinKeyer &keyer, QObject *parent) : CwSender(parent), m_keyer(keyer)
{
    m_step = new QTimer(this);
    m_step->setSingleShot(true);
    m_step->setInterval(kStepMs);
    connect(m_step, &QTimer::timeout, this, &WinKeySender::step);
    connect(&m_keyer, &WinKeyer::openFinished, this, &WinKeySender::onOpenFinished);
    connect(&m_keyer, &WinKeyer::statusChanged, this, [this] {
        // Nothing left in the keyer: every log point it held has been keyed.
        if (m_keyer.pending() == 0)
            reachMarks(int(m_marks.size()));
        if (m_waiting && m_keyer.wk_getstatus() < WinKeyer::kBusyStatus && !m_step->isActive())
            step();
        updateSending();
    });
    connect(&m_keyer, &WinKeyer::echoed, this, [this](quint8 code) {
        emit charKeyed(QChar(code), m_buffer);
        // The marks count the characters in the keyer ahead of them.
        int reached = 0;
        for (int &ahead : m_marks)
            reached += --ahead <= 0 ? 1 : 0;
        reachMarks(reached);
    });
    connect(&m_keyer, &WinKeyer::closed, this, [this] {
        m_marks.clear();
        m_buffer.clear();
        m_step->stop();
        m_waiting = false;
        updateSending();
    });
}

void WinKeySender::send(const QString &text)
{
    m_buffer = text;
    start();
}

void WinKeySender::append(const QString &text)
{
    m_buffer += text;
    start();
}

void WinKeySender::reachMarks(int count)
{
    for (int i = 0; i < count && !m_marks.isEmpty(); ++i) {
        m_marks.removeFirst();
        emit logMarkReached();
    }
}

bool WinKeySender::backspace()
{
    // The last typed character is still here unless it has gone to the keyer already.
    if (!m_buffer.isEmpty()) {
        m_buffer.chop(1);
        updateSending();
        return true;
    }
    if (m_keyer.wk_getstatus() > 0) {
        m_keyer.wk_backspace();
        return true;
    }
    return false;
}

void WinKeySender::stop()
{
    m_marks.clear();
    m_buffer.clear();
    m_step->stop();
    m_waiting = false;
    if (m_keyer.isOpen())
        m_keyer.wk_clearbuf();
    updateSending();
}

void WinKeySender::setSpeed(int wpm)
{
    m_wpm = wpm;
    if (wpm > 4 && wpm < 100 && m_keyer.isOpen())
        m_keyer.wk_wpm(quint8(wpm));
}

void WinKeySender::start()
{
    if (m_buffer.isEmpty()) {
        updateSending();
        return;
    }
    if (!m_keyer.isOpen()) {
        if (!m_opening) {
            m_opening = true;
            updateSending();
            if (m_openKeyer)
                m_openKeyer();
            else
                m_opening = false;
        }
        if (!m_keyer.isOpening() && !m_keyer.isOpen()) {
            // Nothing is under way (no opener, or it failed at once and said so already).
            m_opening = false;
            m_buffer.clear();
        }
        updateSending();
        return;
    }
    if (!m_step->isActive() && !m_waiting)
        step();
    updateSending();
}

void WinKeySender::onOpenFinished(int code, int version)
{
    Q_UNUSED(code);
    if (!m_opening)
        return;
    m_opening = false;
    if (version == 0 || !m_keyer.isOpen())
        m_buffer.clear();  // the keyer could not be opened: the message is dropped
    else if (!m_buffer.isEmpty())
        m_step->start();  // one step later, so the settings pushed on opening go first
    updateSending();
}

void WinKeySender::step()
{
    if (m_buffer.isEmpty() || !m_keyer.isOpen()) {
        m_waiting = false;
        if (!m_keyer.isOpen())
            m_buffer.clear();
        updateSending();
        return;
    }
    if (m_keyer.wk_getstatus() >= WinKeyer::kBusyStatus) {
        // Wait for the keyer: its next echo or status change steps again.
        m_waiting = true;
        return;
    }
    m_waiting = false;
    const QChar c = m_buffer.at(0);
    m_buffer.remove(0, 1);
    if (c == u'!') {
        // The log point is never keyed: the contact is logged once the keyer has keyed what
        // went before it, as the keyer thread does.
        if (m_keyer.pending() == 0)
            emit logMarkReached();
        else
            m_marks.append(m_keyer.pending());
    } else if (c.unicode() > 0 && c.unicode() < 256) {
        m_keyer.wk_char(quint8(c.unicode()));
    }
    m_step->start();
    updateSending();
}

void WinKeySender::updateSending()
{
    const bool sending = !m_buffer.isEmpty() || m_opening || m_keyer.wk_getstatus() > 0;
    if (sending != m_sending) {
        m_sending = sending;
        emit sendingChanged(sending);
    }
}

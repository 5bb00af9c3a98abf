#include "cw/cwcontrol.h"

#include "core/messagetext.h"
#include "cw/cwsender.h"
#include "cw/keyerthread.h"

#include <QKeyEvent>

const QColor CwControl::kKeyboardColour(255, 255, 192);
const QColor CwControl::kStatusColour(0, 192, 192);

namespace {
const QString kKeyboardOn = QStringLiteral("Keyboard CW mode is ON!  Press F12 to exit keyboard CW mode.");
const QString kKeyboardStill = QStringLiteral("Keyboard CW Mode is on.  Press F12 to exit.");
}  // namespace

CwControl::CwControl(CwSender &sender, KeyerThread *keyer, QObject *parent)
    : QObject(parent), m_sender(&sender), m_keyer(keyer)
{
    m_repeatTimer.setSingleShot(true);
    connect(&m_repeatTimer, &QTimer::timeout, this, &CwControl::tmrRepeat_Timer);
    connectSender();
}

void CwControl::setSender(CwSender &sender)
{
    if (m_sender == &sender)
        return;
    m_sender->stop();
    m_sender = &sender;
    connectSender();
    applySettings();
}

void CwControl::connectSender()
{
    for (const auto &c : m_connections)
        disconnect(c);
    m_connections = {
        connect(m_sender, &CwSender::sendingChanged, this, &CwControl::onSendingChanged),
        connect(m_sender, &CwSender::charKeyed, this, &CwControl::onCharKeyed),
        connect(m_sender, &CwSender::logMarkReached, this, &CwControl::onLogMark),
    };
}

void CwControl::applySettings()
{
    // Only a speed that changed goes out: the external keyer may have been set to another in
    // its own setup, and an untouched CW speed box must not undo that.
    if (m_sender->speed() != m_settings.speedWpm())
        m_sender->setSpeed(m_settings.speedWpm());
    if (m_keyer)
        m_keyer->setSettings(m_settings.keyerSettings(m_portMap));
    m_repeatTimer.setInterval(int(m_settings.repeatSeconds() * 1000));
}

QString CwControl::expandMessage(const QString &message, bool withCall) const
{
    // Without the call, the blank that followed it goes too. The report is always 5NN.
    QString out = message;
    if (!withCall)
        out.replace(QLatin1String("$ "), QString());
    const QString call = withCall && m_host.call ? m_host.call() : QString();
    return messagetext::expand(out, call, QStringLiteral("5NN"));
}

void CwControl::FKeyCW(FKey key, bool withCall)
{
    m_refusalShown = false;
    const QString message = m_settings.messageForKey(key);
    if (m_settings.keyingInterface == KeyingInterface::None || message.isEmpty()) {
        m_sender->stop();
        return;
    }
    if (key == FKey::F1 && m_settings.repeatSeconds() > 0)
        m_repeat = true;
    // The new message replaces what is not sent yet and follows the character on the air; the
    // external keyer's own buffer is emptied only by Esc or the end of a repeat, so no
    // character is cut in half.
    m_sender->send(expandMessage(message, withCall));
}

void CwControl::tmrRepeat_Timer()
{
    m_repeatTimer.stop();
    FKeyCW(FKey::F1);
}

void CwControl::changeSpeed(int delta)
{
    const int wpm = m_settings.speedWpm() + delta;
    m_settings.speed = QString::number(wpm);
    m_sender->setSpeed(wpm);
    emit speedChanged(wpm);
}

void CwControl::toggleKeyboardMode()
{
    m_keyboardMode = !m_keyboardMode;
    if (m_host.setStatus)
        m_host.setStatus(m_keyboardMode ? kKeyboardOn : QString());
    if (m_host.setStatusColour)
        m_host.setStatusColour(m_keyboardMode ? kKeyboardColour : kStatusColour);
}

void CwControl::showKeyboardBanner()
{
    if (!m_keyboardMode)
        return;
    if (m_host.setStatus)
        m_host.setStatus(kKeyboardOn);
    if (m_host.setStatusColour)
        m_host.setStatusColour(kKeyboardColour);
}

void CwControl::stopRepeat()
{
    if (!m_repeat)
        return;
    m_sender->stop();
    m_repeat = false;
    m_repeatTimer.stop();
}

bool CwControl::handleKey(QKeyEvent *key)
{
    const Qt::KeyboardModifiers mods = key->modifiers() & ~Qt::KeypadModifier;
    if (mods == Qt::ControlModifier) {
        switch (key->key()) {
        case Qt::Key_W:
            if (m_host.showStrings)
                m_host.showStrings();
            return true;
        case Qt::Key_C:
        case Qt::Key_S:
            if (m_host.showSetup)
                m_host.showSetup();
            return true;
        default:
            break;  // Ctrl+F1 sends F1 like F1
        }
    }
    // Any key ends the CQ loop, the one that starts the next message too.
    stopRepeat();

    const QString mode = m_host.mode ? m_host.mode().toUpper() : QStringLiteral("CW");
    const int k = key->key();
    const bool interface = m_settings.keyingInterface != KeyingInterface::None;
    if (mode != QLatin1String("PH")) {
        if (interface && (k == Qt::Key_Up || k == Qt::Key_Down)) {
            changeSpeed(k == Qt::Key_Up ? 1 : -1);
            if (m_host.setStatus)
                m_host.setStatus(QStringLiteral("%1 WPM").arg(m_settings.speedWpm()));
            return true;
        }
        if (interface && k >= Qt::Key_F1 && k <= Qt::Key_F12) {
            if (k == Qt::Key_F12)
                toggleKeyboardMode();
            else
                FKeyCW(*fkeyOfQtKey(k));
            return true;
        }
    } else if (k == Qt::Key_F10) {
        return true;  // nothing on F10 in phone, and the menu bar must not take it
    }

    if (k == Qt::Key_Escape) {
        if (!m_sender->isSending())
            return false;  // the main window clears the entry line
        m_sender->stop();
        return true;
    }
    if (!m_keyboardMode || key->text().isEmpty() || (mods & ~Qt::ShiftModifier))
        return false;
    if (k == Qt::Key_Backspace && m_sender->isSending() && m_sender->backspace())
        return true;
    if (mode != QLatin1String("CW"))
        return false;
    // Every typed key is keyed; one without a pattern (Enter) is skipped by the keyer, so
    // keyboard CW never logs by accident.
    QString text = key->text();
    for (QChar &c : text) {
        if (c >= QLatin1Char('a') && c <= QLatin1Char('z'))
            c = QChar(c.unicode() - 32);
    }
    m_refusalShown = false;
    m_sender->append(text);
    return true;
}

bool CwControl::mayClose()
{
    m_sender->stop();
    return !m_sender->isSending();
}

void CwControl::onSendingChanged(bool sending)
{
    emit sendingChanged(sending);
    if (sending)
        return;
    if (m_repeat && m_settings.repeatSeconds() > 0)
        m_repeatTimer.start(int(m_settings.repeatSeconds() * 1000));
    if (m_settings.showText && m_host.setStatus && !m_refusalShown)
        m_host.setStatus(m_keyboardMode ? kKeyboardStill : QString());
}

void CwControl::onCharKeyed(QChar, const QString &unsent)
{
    if (m_settings.showText && m_host.setStatus && m_sender->isSending() && !m_refusalShown)
        m_host.setStatus(unsent);
}

void CwControl::onLogMark()
{
    if (!m_host.call || m_host.call().isEmpty() || !m_host.logContact)
        return;
    // A refused contact says why (the entry line beeped and wrote it in the status line); the
    // rest of the message being keyed must not write over that.
    m_refusalShown = !m_host.logContact();
}

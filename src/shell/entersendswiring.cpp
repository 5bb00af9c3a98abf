#include "shell/entersendswiring.h"

#include "cw/cwcontrol.h"
#include "logging/entrylinewidget.h"
#include "platform/settingsstore.h"
#include "shell/settingswitch.h"
#include "voice/voicekeyer.h"

#include <QAccessible>
#include <QAction>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>

EnterSendsWiring::EnterSendsWiring(Form1 &form, const Form1Services &services, CwControl &cw,
                                   VoiceKeyer &voice)
    : QObject(&form), m_form(form), m_services(services), m_cw(cw), m_voice(voice)
{
    setObjectName(QStringLiteral("EnterSendsWiring"));
    if (services.settings
        && services.settings->value(QString::fromLatin1(entersends::kModeKey)) == u"sp")
        m_mode = entersends::Mode::SearchAndPounce;
    EntryLineWidget &entry = form.entryLine();
    // Beside the fields, where the post-contest date and time go (they are not used together).
    m_line = entry.addInfoLine(QStringLiteral("lblEnterNext"), 6600, 760, 2900, 300);
    m_line->setAccessibleName(QStringLiteral("Enter sends"));
    m_switch = addSettingSwitch(form.optionsMenu(), services.settings, QStringLiteral("mnuEnterSends"),
                                QStringLiteral("&Enter Sends Message"), entersends::kSwitchKey, false);
    connect(m_switch, &QAction::toggled, this, &EnterSendsWiring::refresh);
    connect(&entry, &EntryLineWidget::entryChanged, this, &EnterSendsWiring::refresh);
    connect(&entry, &EntryLineWidget::enterFinished, this, &EnterSendsWiring::refresh);
    // After the hold and the CW and voice keys, before the entry line's own Enter.
    form.keys().add(KeyDispatcher::kCommands + 1,
                    [this](QObject *target, QKeyEvent *key) { return handleKey(target, key); });
    refresh();
}

bool EnterSendsWiring::isOn() const { return m_switch->isChecked(); }

bool EnterSendsWiring::phone() const
{
    return m_form.preferences().currentMode.toUpper() == QLatin1String("PH");
}

entersends::Keys EnterSendsWiring::keys() const
{
    const char *key = phone() ? entersends::kPhoneKeysKey : entersends::kCwKeysKey;
    return entersends::Keys::fromText(m_services.settings ? m_services.settings->value(QString::fromLatin1(key))
                                                          : QString());
}

QString EnterSendsWiring::nextCaption() const
{
    if (!isOn() || m_form.entryLine().postContest())
        return QString();
    EntryLineWidget &entry = m_form.entryLine();
    const entersends::Step step = entersends::next(m_mode, entry.fields(), entry.checkEntry(), keys());
    return entersends::modeName(m_mode) + QStringLiteral("  ") + step.caption;
}

void EnterSendsWiring::refresh()
{
    const QString caption = nextCaption();
    if (caption == m_line->text() && m_line->isVisible() == !caption.isEmpty())
        return;
    m_line->setText(caption);
    m_line->setVisible(!caption.isEmpty());
    // Said once for each change, not on every key.
    m_line->setAccessibleDescription(caption);
    QAccessibleEvent event(m_line, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&event);
}

bool EnterSendsWiring::handleKey(QObject *target, QKeyEvent *key)
{
    if (!isOn() || key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return false;
    auto *w = qobject_cast<QWidget *>(target);
    EntryLineWidget &entry = m_form.entryLine();
    if (!w || !entry.isAncestorOf(w) || entry.postContest())
        return false;
    if (key->key() == Qt::Key_Insert) {
        toggleMode();
        return true;
    }
    if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter)
        return false;
    enter();
    return true;
}

void EnterSendsWiring::toggleMode()
{
    m_mode = m_mode == entersends::Mode::Run ? entersends::Mode::SearchAndPounce : entersends::Mode::Run;
    if (m_services.settings)
        m_services.settings->setValue(QString::fromLatin1(entersends::kModeKey),
                                      m_mode == entersends::Mode::Run ? QStringLiteral("run") : QStringLiteral("sp"));
    refresh();
}

void EnterSendsWiring::enter()
{
    EntryLineWidget &entry = m_form.entryLine();
    const entersends::Step step = entersends::next(m_mode, entry.fields(), entry.checkEntry(), keys());
    // The message goes first: its "$" is the call as typed, before the logging step empties it.
    bool logMark = false;
    if (step.send) {
        if (phone()) {
            m_voice.FKeyPhone(*step.send);
        } else {
            m_cw.FKeyCW(*step.send, step.withCall);
            // A message with the log mark logs the contact when the keyer gets there.
            logMark = step.log && m_cw.settings().messageForKey(*step.send).contains(u'!');
        }
    }
    if (step.log && !logMark)
        entry.logCurrentContact();
    else if (step.focus != ContactEntry::Field::None)
        entry.focusField(step.focus);
    refresh();
}

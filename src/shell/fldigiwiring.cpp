#include "shell/fldigiwiring.h"

#include "core/fieldfile.h"
#include "core/fkey.h"
#include "core/frequencylog.h"
#include "core/logstore.h"
#include "core/preferences.h"
#include "logging/entrylinewidget.h"
#include "platform/dialogs.h"
#include "platform/settingsstore.h"
#include "rig/dgmessages.h"
#include "rig/fldigilink.h"
#include "rig/riglink.h"
#include "shell/mainwindow.h"
#include "shell/settingswitch.h"
#include "ui/keydispatcher.h"
#include "ui/messageeditor.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QRegularExpression>

namespace {
// The 10-10 number in an exchange typed into fldigi ("BOB CT 1234"): its last all-digit word.
QString numberIn(const QString &exchange)
{
    const QStringList words = exchange.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
    for (qsizetype i = words.size() - 1; i >= 0; --i) {
        bool digits = !words[i].isEmpty();
        for (const QChar c : words[i])
            digits = digits && c.isDigit();
        if (digits)
            return words[i];
    }
    return {};
}
}  // namespace

FldigiWiring::FldigiWiring(Form1 &form, const Form1Services &services)
    : QObject(&form), m_form(form), m_services(services), m_link(new FldigiLink(this))
{
    EntryLineWidget &entry = form.entryLine();
    // Between the partial-dupe caption and the rig line, on the same row.
    m_line = entry.addInfoLine(QStringLiteral("lblFldigi"), 2400, 1830, 2550, 200);
    connect(m_link, &FldigiLink::statusChanged, this, [this](const QString &text) {
        m_line->setText(text);
        m_line->setVisible(!text.isEmpty());
    });
    connect(m_link, &FldigiLink::connectedChanged, this, [this, &entry](bool on) {
        if (!on && m_link->isActive())
            entry.setStatus(QStringLiteral("fldigi does not answer: the entry line goes on without it."), true);
    });
    // A call taken into fldigi's log fields (a click in its receive pane) comes into the entry
    // line with the dupe check, and what fldigi has of the exchange is offered selected.
    connect(m_link, &FldigiLink::fieldsChanged, this, [this, &entry](const FldigiLink::Fields &f) {
        if (f.call.isEmpty() || f.call.compare(entry.call().trimmed(), Qt::CaseInsensitive) == 0)
            return;
        entry.offerCall(f.call);
        if (m_form.dupeFound())
            return;
        QString state = f.state;
        if (state.isEmpty()) {
            for (const QString &w : f.exchange.split(u' ', Qt::SkipEmptyParts))
                if (w.size() == 2 && w.at(0).isLetter() && w.at(1).isLetter())
                    state = w.toUpper();
        }
        entry.prefillExchange({f.name.toUpper(), state, numberIn(f.exchange)});
    });
    // The modem goes with each contact logged while fldigi is connected.
    const QString frequencies = services.folders.workFile(QString::fromLatin1(FrequencyLog::kFileName));
    connect(&entry, &EntryLineWidget::enterFinished, this, [this, frequencies](bool logged) {
        const LogStore &log = m_form.logStore();
        if (!logged || !m_link->isConnected() || log.count() == 0 || m_form.preferences().currentMode != u"DG")
            return;
        if (m_services.rig && m_services.rig->isConnected())
            return;  // the rig's frequency was kept already
        FrequencyLog::append(frequencies, log.record(log.count()), {m_link->frequencyHz(), m_link->modem()});
    });

    // F-keys and Esc in DG mode while fldigi is there, before the CW keys.
    form.keys().add(KeyDispatcher::kCommands - 2, [this](QObject *, QKeyEvent *key) {
        if (!m_link->isConnected() || m_form.preferences().currentMode != u"DG" || key->modifiers() != Qt::NoModifier)
            return false;
        const int k = key->key();
        if (k >= Qt::Key_F1 && k <= Qt::Key_F10)
            return sendMessage(k - Qt::Key_F1);
        if (k == Qt::Key_Escape)
            return m_link->abort();
        return false;
    });

    loadMessages();
    if (services.settings) {
        QString error;
        if (!m_link->start(services.settings->value(QString::fromLatin1(FldigiLink::kSettingsKey), QString()), &error))
            entry.setStatus(QStringLiteral("fldigi is off: ") + error, true);
    }
    QAction *menu = form.optionsMenu()->addAction(QStringLiteral("&fldigi..."));
    menu->setObjectName(QStringLiteral("mnuFldigi"));
    connect(menu, &QAction::triggered, this, &FldigiWiring::askForAddress);
    QAction *messages = form.optionsMenu()->addAction(QStringLiteral("Digital &Messages..."));
    messages->setObjectName(QStringLiteral("mnuDigitalMessages"));
    connect(messages, &QAction::triggered, this, &FldigiWiring::editMessages);
}

QString FldigiWiring::messagesPath() const
{
    return m_services.folders.workFile(QString::fromLatin1(dgmessages::kFileName));
}

void FldigiWiring::loadMessages()
{
    m_messages = dgmessages::load(messagesPath(), dgmessages::defaults(m_form.preferences()));
}

bool FldigiWiring::sendMessage(int index)
{
    loadMessages();  // an edit of DG.txt takes effect at the next key
    EntryLineWidget &entry = m_form.entryLine();
    const dgmessages::Expanded message = dgmessages::expand(m_messages.value(index), entry.call().toUpper());
    if (message.text.isEmpty() && !message.logs)
        return true;
    if (!message.text.isEmpty() && !m_link->transmit(message.text + u' '))
        return false;
    // "!" logs the contact as the message goes to fldigi; a refusal keeps the entry and says why.
    if (message.logs && !m_form.logCurrentContact())
        QApplication::beep();
    return true;
}

void FldigiWiring::editMessages()
{
    loadMessages();
    MessageEditor editor(QStringLiteral("Digital Messages"),
                         QStringLiteral("F1 to F10 in Digital mode send these through fldigi. $ is the call in the "
                                        "entry line, * the report 599, and a ! in a message enters the contact."),
                         m_messages, &m_form);
    if (editor.exec() != QDialog::Accepted)
        return;
    QString error;
    if (!dgmessages::save(messagesPath(), editor.messages(), &error)) {
        if (m_services.dialogs)
            m_services.dialogs->message(&m_form,
                                    QStringLiteral("The digital messages could not be saved to %1: %2")
                                        .arg(messagesPath(), error),
                                    QStringLiteral("Digital Messages"), Dialogs::Buttons::Ok, Dialogs::Icon::Warning);
        return;
    }
    loadMessages();
}

void FldigiWiring::askForAddress()
{
    if (!m_services.settings || !m_services.dialogs)
        return;
    askForAddressSetting(&m_form, *m_services.settings, *m_services.dialogs, FldigiLink::kSettingsKey,
                         QStringLiteral("Connect to fldigi's XML-RPC interface at this address (fldigi's default is "
                                        "127.0.0.1:7362). Enter \"off\" to disconnect."),
                         QStringLiteral("fldigi"), QStringLiteral("127.0.0.1:7362"),
                         [this](const QString &address, QString *error) { return m_link->start(address, error); });
}

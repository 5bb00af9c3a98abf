#include "shell/broadcastwiring.h"

#include "core/logstore.h"
#include "core/preferences.h"
#include "logging/entrylinewidget.h"
#include "platform/dialogs.h"
#include "platform/settingsstore.h"
#include "rig/broadcaster.h"
#include "rig/riglink.h"
#include "shell/mainwindow.h"

#include <QAction>
#include <QMenu>

BroadcastWiring::BroadcastWiring(Form1 &form, const Form1Services &services)
    : QObject(&form), m_form(form), m_services(services), m_broadcaster(new Broadcaster(this))
{
    const QString key = QString::fromLatin1(Broadcaster::kSettingsKey);
    QString error;
    if (m_services.settings && !m_broadcaster->setTargets(m_services.settings->value(key, QString()), &error))
        form.entryLine().setStatus(QStringLiteral("UDP broadcasts are off: ") + error, true);

    auto station = [this] {
        const Preferences &p = m_form.preferences();
        m_broadcaster->setStation({p.ownCall.trimmed(), QStringLiteral("10-10"), p.ownMemberNumber.trimmed()});
    };
    auto hz = [this] { return m_services.rig && m_services.rig->isConnected() ? m_services.rig->frequencyHz() : 0; };
    connect(&form.entryLine(), &EntryLineWidget::enterFinished, this, [this, station, hz](bool logged) {
        const LogStore &log = m_form.logStore();
        if (!logged || log.count() == 0)
            return;
        station();
        m_broadcaster->contactLogged(log.record(log.count()), hz());
    });
    connect(&form, &Form1::contactEdited, this, [this, station, hz](const QsoRecord &before, const QsoRecord &after) {
        station();
        m_broadcaster->contactReplaced(before, after, hz());
    });
    connect(&form, &Form1::contactDeleted, this, [this, station](const QsoRecord &record) {
        station();
        m_broadcaster->contactDeleted(record);
    });
    if (RigLink *rig = m_services.rig) {
        auto radio = [this, rig, station] {
            station();
            m_broadcaster->setRadio(rig->isConnected(), rig->frequencyHz(), rig->mode());
        };
        connect(rig, &RigLink::connectedChanged, this, radio);
        connect(rig, &RigLink::frequencyChanged, this, radio);
        connect(rig, &RigLink::modeChanged, this, radio);
    }

    QAction *menu = form.optionsMenu()->addAction(QStringLiteral("UDP &Broadcasts..."));
    menu->setObjectName(QStringLiteral("mnuBroadcasts"));
    connect(menu, &QAction::triggered, this, &BroadcastWiring::askForTargets);
}

void BroadcastWiring::askForTargets()
{
    if (!m_services.settings || !m_services.dialogs)
        return;
    const QString key = QString::fromLatin1(Broadcaster::kSettingsKey);
    const QString current = m_services.settings->value(key, QString());
    const QString answer = m_services.dialogs->input(
        &m_form,
        QStringLiteral("Send each contact logged, edited or deleted, and the rig's frequency, as UDP "
                       "datagrams to these addresses (for example 127.0.0.1:12060, or a network's "
                       "broadcast address such as 192.168.1.255:12060; several with blanks between). "
                       "Enter \"off\" to stop."),
        QStringLiteral("UDP Broadcasts"), current.isEmpty() ? QStringLiteral("127.0.0.1:12060") : current);
    if (answer.isEmpty())
        return;  // cancelled
    const QString text = answer.trimmed().compare(QLatin1String("off"), Qt::CaseInsensitive) == 0 ? QString() : answer.trimmed();
    QString error;
    if (!m_broadcaster->setTargets(text, &error)) {
        m_services.dialogs->message(&m_form, error, QStringLiteral("UDP Broadcasts"), Dialogs::Buttons::Ok,
                                    Dialogs::Icon::Warning);
        return;
    }
    m_services.settings->setValue(key, text);
    if (RigLink *rig = m_services.rig)
        m_broadcaster->setRadio(rig->isConnected(), rig->frequencyHz(), rig->mode());
}

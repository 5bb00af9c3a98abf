#include "shell/rigwiring.h"

#include "core/contestband.h"

#include "bandmap/bandmaps.h"
#include "logging/entrylinewidget.h"
#include "platform/childprocess.h"
#include "platform/dialogs.h"
#include "platform/portmap.h"
#include "platform/settingsstore.h"
#include "rig/riglink.h"
#include "shell/bandmapwiring.h"
#include "shell/settingswitch.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>

RigWiring::RigWiring(Form1 &form, const Form1Services &services)
    : QObject(&form), m_form(form), m_services(services)
{
    setObjectName(QStringLiteral("RigWiring"));
    Q_ASSERT(services.rig);
    EntryLineWidget &entry = form.entryLine();
    m_rigLine = entry.addInfoLine(QStringLiteral("lblRig"), 5000, 1830, 4500, 200);
    m_rigLine->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    QMenu *options = form.optionsMenu();
    QAction *rig = options->addAction(QStringLiteral("&Rig Control..."));
    rig->setObjectName(QStringLiteral("mnuRigControl"));
    connect(rig, &QAction::triggered, this, &RigWiring::rigControl);
    if (m_services.rigctld) {
        QAction *start = options->addAction(QStringLiteral("Start rig&ctld..."));
        start->setObjectName(QStringLiteral("mnuStartRigctld"));
        connect(start, &QAction::triggered, this, &RigWiring::startRigctldMenu);
    }
    m_followRig = addSettingSwitch(options, services.settings, QStringLiteral("mnuFollowRigMode"),
                                   QStringLiteral("Follow rig mode"), kFollowRigModeKey, false);
    connect(m_followRig, &QAction::toggled, this, [this](bool on) {
        if (on)
            followRigMode(m_services.rig->mode());
    });

    RigLink *link = services.rig;
    connect(link, &RigLink::statusChanged, m_rigLine, &QLabel::setText);
    connect(link, &RigLink::modeChanged, this, &RigWiring::followRigMode);
    // Off the band: said when the rig goes there, and again with every contact logged there
    // (it is logged all the same: the rig may be the one that is wrong).
    connect(link, &RigLink::frequencyChanged, this, [this, &entry] {
        const QString warning = offBandWarning();
        if (!warning.isEmpty() && !m_offBand)
            entry.setStatus(warning, true);
        m_offBand = !warning.isEmpty();
    });
    connect(&entry, &EntryLineWidget::enterFinished, this, [this, &entry](bool logged) {
        const QString warning = offBandWarning();
        if (logged && !warning.isEmpty()) {
            QApplication::beep();
            entry.setStatus(QStringLiteral("Logged, but ") + warning.left(1).toLower() + warning.mid(1), true);
        }
    });
    // tune() queues nothing while the rig is away, so a click then changes nothing.
    connect(&form.bandMaps().maps(), &BandMaps::tuneRequested, link, &RigLink::tune);
    if (ChildProcess *process = m_services.rigctld) {
        // Said in rigctld's own words, so a wrong model or a busy port is plain at once.
        connect(process, &ChildProcess::started, this, [this] { m_rigctldRan = true; });
        connect(process, &ChildProcess::failed, this, [this, &entry](const QString &error) {
            entry.setStatus((std::exchange(m_rigctldRan, false) ? QStringLiteral("rigctld stopped: ")
                                                                : QStringLiteral("rigctld did not start: "))
                                + error,
                            true);
        });
        applyRigctldSetting();
    }
    applyRigSetting();
}

void RigWiring::rigControl()
{
    if (!m_services.dialogs || !m_services.settings)
        return;
    QString current = m_services.settings->value(QString::fromLatin1(kRigControlKey));
    const QString answer = m_services.dialogs->input(
        &m_form,
        QStringLiteral("Address of rigctld (host:port), or Off to stop rig control:"),
        QStringLiteral("Rig Control"), current.isEmpty() ? QString::fromLatin1(kDefaultRig) : current).trimmed();
    if (answer.isEmpty())
        return;  // cancelled
    if (answer.compare(u"off", Qt::CaseInsensitive) == 0) {
        m_services.settings->setValue(QString::fromLatin1(kRigControlKey), QString());
        applyRigSetting();
        return;
    }
    const qsizetype colon = answer.lastIndexOf(u':');
    bool ok = colon > 0;
    const uint port = ok ? answer.mid(colon + 1).toUInt(&ok) : 0;
    if (!ok || port == 0 || port > 65535) {
        m_services.dialogs->message(&m_form,
                                    QStringLiteral("\"%1\" is not a rigctld address. Enter host:port, "
                                                   "for example %2.").arg(answer, QString::fromLatin1(kDefaultRig)),
                                    QStringLiteral("Rig Control"), Dialogs::Buttons::Ok, Dialogs::Icon::Warning);
        return;
    }
    m_services.settings->setValue(QString::fromLatin1(kRigControlKey), answer);
    applyRigSetting();
}

void RigWiring::applyRigSetting()
{
    RigLink *rig = m_services.rig;
    const QString address = m_services.settings ? m_services.settings->value(QString::fromLatin1(kRigControlKey)) : QString();
    const qsizetype colon = address.lastIndexOf(u':');
    if (colon <= 0) {
        rig->stop();
        m_rigLine->hide();
        return;
    }
    rig->start(address.left(colon), quint16(address.mid(colon + 1).toUInt()));
    m_rigLine->setText(rig->statusText());
    m_rigLine->show();
}

void RigWiring::followRigMode(const QString &rigMode)
{
    if (!m_followRig || !m_followRig->isChecked())
        return;
    const QString mode = RigLink::loggerModeFor(rigMode);
    if (mode.isEmpty() || mode == m_form.preferences().currentMode)
        return;
    if (mode == u"CW")
        m_form.mnuCW_Click();
    else if (mode == u"DG")
        m_form.mnuDigital_Click();
    else
        m_form.mnuSSB_Click();
}

QString RigWiring::offBandWarning() const
{
    const RigLink *rig = m_services.rig;
    if (!rig->isConnected())
        return QString();
    const qint64 hz = rig->frequencyHz();
    if (hz <= 0 || contestband::contains(hz))
        return QString();
    return QStringLiteral("The rig is on %1 MHz, outside 10 m (28.000 to 29.700 MHz).")
        .arg(QString::number(double(hz) / 1e6, 'f', 3));
}

void RigWiring::startRigctldMenu()
{
    if (!m_services.dialogs || !m_services.settings)
        return;
    const QString current = m_services.settings->value(QString::fromLatin1(kRigctldKey));
    const QString answer = m_services.dialogs->input(
        &m_form,
        QStringLiteral("Hamlib rig model number and serial port number, for example 1 1 (rigctld -l "
                       "lists the models), or Off to stop it:"),
        QStringLiteral("Start rigctld"), current.isEmpty() ? QStringLiteral("1 1") : current).simplified();
    if (answer.isEmpty())
        return;  // cancelled
    if (answer.compare(u"off", Qt::CaseInsensitive) == 0) {
        m_services.settings->setValue(QString::fromLatin1(kRigctldKey), QString());
        applyRigctldSetting();
        return;
    }
    const QStringList parts = answer.split(u' ');
    bool modelOk = false, portOk = false;
    const int model = parts.size() == 2 ? parts[0].toInt(&modelOk) : 0;
    const int port = parts.size() == 2 ? parts[1].toInt(&portOk) : 0;
    if (!modelOk || !portOk || model < 1 || port < 1) {
        m_services.dialogs->message(&m_form,
                                    QStringLiteral("\"%1\" is not a rig model and a port number. Enter "
                                                   "both as numbers, for example 1 1.").arg(answer),
                                    QStringLiteral("Start rigctld"), Dialogs::Buttons::Ok, Dialogs::Icon::Warning);
        return;
    }
    m_services.settings->setValue(QString::fromLatin1(kRigctldKey), QStringLiteral("%1 %2").arg(model).arg(port));
    applyRigctldSetting();
    applyRigSetting();
}

void RigWiring::applyRigctldSetting()
{
    ChildProcess *process = m_services.rigctld;
    if (!m_services.settings)
        return;
    const QStringList parts = m_services.settings->value(QString::fromLatin1(kRigctldKey)).split(u' ', Qt::SkipEmptyParts);
    if (parts.size() != 2) {
        process->stop();
        return;
    }
    const QString program = process->findProgram(QStringLiteral("rigctld"));
    if (program.isEmpty()) {
        m_form.entryLine().setStatus(QStringLiteral("rigctld is not installed (Debian package libhamlib-utils)."), true);
        return;
    }
    // It listens where the rig link looks, on this machine only.
    QString address = m_services.settings->value(QString::fromLatin1(kRigControlKey));
    if (address.lastIndexOf(u':') <= 0)
        address = QString::fromLatin1(kDefaultRig);
    const QString tcpPort = address.mid(address.lastIndexOf(u':') + 1);
    m_services.settings->setValue(QString::fromLatin1(kRigControlKey), QStringLiteral("127.0.0.1:") + tcpPort);
    PortMap ports;
    ports.load(*m_services.settings);
    process->start(program, {QStringLiteral("-m"), parts[0], QStringLiteral("-r"), ports.serialDevice(parts[1].toInt()),
                             QStringLiteral("-T"), QStringLiteral("127.0.0.1"), QStringLiteral("-t"), tcpPort});
}

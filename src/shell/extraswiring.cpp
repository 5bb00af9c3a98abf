#include "shell/extraswiring.h"

#include "bandmap/bandmaps.h"
#include "core/prefixtable.h"
#include "logging/entrylinewidget.h"
#include "platform/childprocess.h"
#include "platform/dialogs.h"
#include "platform/portmap.h"
#include "platform/settingsstore.h"
#include "rig/riglink.h"
#include "shell/bandmapwiring.h"
#include "ui/formscaler.h"

#include <QAction>
#include <QFileInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QThread>

namespace {
// Selected whole with the caret at the start, so the first key typed replaces it.
void fillSelected(QLineEdit *field, const QString &text)
{
    field->setText(text);
    field->setCursorPosition(int(text.size()));
    field->cursorBackward(true, int(text.size()));
}

QLabel *addLine(QWidget *parent, const QString &name, int left, int top, int width, int height)
{
    auto *label = new QLabel(parent);
    label->setObjectName(name);
    label->setGeometry(formscale::px(left), formscale::px(top), formscale::px(width), formscale::px(height));
    label->hide();
    return label;
}
}  // namespace

void wireExtras(Form1 &form, const Form1Services &services) { new ExtrasWiring(form, services); }

ExtrasWiring::ExtrasWiring(Form1 &form, const Form1Services &services)
    : QObject(&form), m_form(form), m_services(services)
{
    setObjectName(QStringLiteral("ExtrasWiring"));
    m_entry = form.findChild<EntryLineWidget *>(QStringLiteral("EntryLine"));
    Q_ASSERT(m_entry);
    // Beside the continent and bearing, under the entry line (its own coordinates start at its top).
    const int top = EntryLineWidget::kTop;
    m_scpLine = addLine(m_entry, QStringLiteral("lblCheckPartial"), 4700, 1150 - top, 4800, 240);
    m_rigLine = addLine(m_entry, QStringLiteral("lblRig"), 5000, 1830 - top, 4500, 200);
    m_rigLine->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    buildMenus();

    connect(&form, &Form1::callTextChanged, this, &ExtrasWiring::showCheckPartial);
    connect(m_entry, &EntryLineWidget::callFieldLeft, this, &ExtrasWiring::prefill);
    if (RigLink *rig = m_services.rig) {
        connect(rig, &RigLink::statusChanged, m_rigLine, &QLabel::setText);
        connect(rig, &RigLink::modeChanged, this, &ExtrasWiring::followRigMode);
        // tune() queues nothing while the rig is away, so a click then changes nothing.
        connect(&form.bandMaps().maps(), &BandMaps::tuneRequested, rig, &RigLink::tune);
        if (ChildProcess *process = m_services.rigctld) {
            connect(process, &ChildProcess::failed, this, [this](const QString &error) {
                m_entry->setStatus(QStringLiteral("rigctld did not start: ") + error);
            });
            applyRigctldSetting();
        }
        applyRigSetting();
    }
    // Read at start, not on the first key of the first call.
    if (m_checkPartial->isChecked())
        loadCheckPartial();
    if (m_callHistory->isChecked())
        rebuildCallHistory();
}

ExtrasWiring::~ExtrasWiring()
{
    // The build only reads files; at most a moment is left of it.
    if (m_builder) {
        m_builder->disconnect(this);
        m_builder->wait();
        delete m_builder;
    }
}

bool ExtrasWiring::setting(const char *key, bool defaultOn) const
{
    if (!m_services.settings)
        return defaultOn;
    return m_services.settings->value(QString::fromLatin1(key), defaultOn ? QStringLiteral("1") : QStringLiteral("0"))
           != u"0";
}

void ExtrasWiring::setSetting(const char *key, bool on)
{
    if (m_services.settings)
        m_services.settings->setValue(QString::fromLatin1(key), on ? QStringLiteral("1") : QStringLiteral("0"));
}

void ExtrasWiring::buildMenus()
{
    QMenu *options = m_form.findChild<QMenu *>(QStringLiteral("mnuOptions"));
    if (!options)
        return;
    options->addSeparator();
    auto toggle = [this, options](const QString &name, const QString &text, const char *key, bool defaultOn) {
        QAction *a = options->addAction(text);
        a->setObjectName(name);
        a->setCheckable(true);
        a->setChecked(setting(key, defaultOn));
        connect(a, &QAction::toggled, this, [this, key](bool on) { setSetting(key, on); });
        return a;
    };
    m_checkPartial = toggle(QStringLiteral("mnuCheckPartial"), QStringLiteral("Check &Partial"), kCheckPartialKey, true);
    connect(m_checkPartial, &QAction::toggled, this, [this] { showCheckPartial(m_form.findChild<QLineEdit *>(QStringLiteral("txtCall"))->text()); });
    m_callHistory = toggle(QStringLiteral("mnuCallHistory"), QStringLiteral("Call &History"), kCallHistoryKey, true);
    connect(m_callHistory, &QAction::toggled, this, [this](bool on) {
        if (on && !m_historyReady)
            rebuildCallHistory();
    });
    QAction *file = options->addAction(QStringLiteral("Call History &File..."));
    file->setObjectName(QStringLiteral("mnuCallHistoryFile"));
    connect(file, &QAction::triggered, this, &ExtrasWiring::chooseHistoryFile);
    if (m_services.rig) {
        QAction *rig = options->addAction(QStringLiteral("&Rig Control..."));
        rig->setObjectName(QStringLiteral("mnuRigControl"));
        connect(rig, &QAction::triggered, this, &ExtrasWiring::rigControl);
        if (m_services.rigctld) {
            QAction *start = options->addAction(QStringLiteral("Start rig&ctld..."));
            start->setObjectName(QStringLiteral("mnuStartRigctld"));
            connect(start, &QAction::triggered, this, &ExtrasWiring::startRigctldMenu);
        }
        m_followRig = toggle(QStringLiteral("mnuFollowRigMode"), QStringLiteral("Follow rig mode"), kFollowRigModeKey, false);
        connect(m_followRig, &QAction::toggled, this, [this](bool on) {
            if (on)
                followRigMode(m_services.rig->mode());
        });
    }
}

void ExtrasWiring::refreshWorked()
{
    const LogStore &log = m_form.logStore();
    if (log.count() == m_workedCount)
        return;
    m_worked.clear();
    m_worked.reserve(log.count());
    for (const QsoRecord &r : log.records())
        m_worked.insert(r.call.toUpper());
    m_workedCount = log.count();
}

void ExtrasWiring::loadCheckPartial()
{
    if (m_scpLoaded)
        return;
    m_scpLoaded = true;
    const QString path = locateMasterScp(m_services.folders);
    if (!path.isEmpty())
        m_scp.load(path);
}

void ExtrasWiring::showCheckPartial(const QString &call)
{
    if (!m_checkPartial->isChecked()) {
        m_scpLine->clear();
        m_scpLine->hide();
        return;
    }
    loadCheckPartial();
    m_scpLine->show();
    if (call.isEmpty()) {
        // Between contacts (logged, cleared or edited): the log may have changed under the same
        // count, so the worked calls are read again here rather than on a typed key.
        m_workedCount = -1;
        refreshWorked();
    }
    if (call.size() < SuperCheckPartial::kMinimumTyped || m_scp.isEmpty()) {
        m_scpLine->clear();
        return;
    }
    refreshWorked();
    // As many as fit on the line.
    const QList<SuperCheckPartial::Match> found = m_scp.matches(call, 80, m_worked);
    const QFontMetrics metrics(m_scpLine->font());
    const int room = m_scpLine->width();
    const int blank = metrics.horizontalAdvance(u' ');
    int used = 0;
    qsizetype fits = 0;
    for (const auto &m : found) {
        const int w = metrics.horizontalAdvance(m.call) + (m.worked ? metrics.horizontalAdvance(QStringLiteral("()")) : 0);
        if (used + (fits ? blank : 0) + w > room)
            break;
        used += (fits ? blank : 0) + w;
        ++fits;
    }
    m_scpLine->setText(SuperCheckPartial::formatLine(found.mid(0, fits)));
}

void ExtrasWiring::rebuildCallHistory()
{
    if (m_builder) {
        m_rebuildPending = true;
        return;
    }
    auto result = std::make_shared<CallHistory>();
    auto problem = std::make_shared<QString>();
    const AppFolders folders = m_services.folders;
    const QString file = m_services.settings ? m_services.settings->value(QString::fromLatin1(kCallHistoryFileKey)) : QString();
    m_builder = QThread::create([result, problem, folders, file] { *result = CallHistory::build(folders, file, problem.get()); });
    connect(m_builder, &QThread::finished, this, [this, result, problem] {
        m_history = std::move(*result);
        m_historyReady = true;
        m_builder->deleteLater();
        m_builder = nullptr;
        if (!problem->isEmpty())
            m_entry->setStatus(*problem);
        if (std::exchange(m_rebuildPending, false))
            rebuildCallHistory();
    });
    m_builder->start(QThread::LowPriority);
}

void ExtrasWiring::prefill(const QString &typedCall)
{
    if (!m_callHistory->isChecked())
        return;
    const QString call = typedCall.trimmed().toUpper();
    if (call.isEmpty())
        return;
    // This log's contacts are the newest; the history was read from disk at start.
    std::optional<CallHistory::Entry> hit = m_historyReady ? m_history.lookup(call) : std::nullopt;
    const LogStore &log = m_form.logStore();
    for (int n = log.count(); n >= 1; --n) {
        const QsoRecord &r = log.record(n);
        if (r.call.compare(call, Qt::CaseInsensitive) != 0)
            continue;
        const QString when = r.date + u' ' + r.time;
        if (!hit || hit->when <= when)
            hit = CallHistory::Entry{r.name, r.qth, r.memberNumber, QStringLiteral("log.txt"), when};
        break;
    }
    if (!hit)
        return;
    auto *name = m_form.findChild<QLineEdit *>(QStringLiteral("txtRSTR"));
    auto *qth = m_form.findChild<QLineEdit *>(QStringLiteral("txtCntry"));
    auto *number = m_form.findChild<QLineEdit *>(QStringLiteral("txtRSTS"));
    bool filled = false;
    if (name->text().isEmpty() && !hit->name.isEmpty()) {
        fillSelected(name, hit->name);
        filled = true;
    }
    // The country the call's prefix proposed is not the operator's typing; the state they sent
    // last time says more.
    const QString proposed = qth->text();
    const bool qthUntyped = proposed.isEmpty() || proposed == u"Not Found"
                            || proposed == m_form.prefixTable().lookup(call).country;
    if (qthUntyped && !hit->qth.isEmpty() && hit->qth != proposed) {
        fillSelected(qth, hit->qth);
        filled = true;
    }
    if (number->text().isEmpty() && !hit->memberNumber.isEmpty()) {
        fillSelected(number, hit->memberNumber);
        filled = true;
    }
    if (filled)
        m_entry->setStatus(callHistoryStatus(*hit));
}

void ExtrasWiring::chooseHistoryFile()
{
    if (!m_services.dialogs || !m_services.settings)
        return;
    const QString chosen = m_services.dialogs->openFile(
        &m_form, QStringLiteral("Call History File"), m_services.folders.workingDir,
        QStringLiteral("Call history (*.txt *.csv);;All files (*)"));
    if (chosen.isEmpty())
        return;
    CallHistory check;
    QString error;
    if (!check.addHistoryFile(chosen, &error)) {
        m_services.dialogs->message(&m_form, error, QStringLiteral("Call History File"),
                                    Dialogs::Buttons::Ok, Dialogs::Icon::Warning);
        return;
    }
    m_services.settings->setValue(QString::fromLatin1(kCallHistoryFileKey), chosen);
    rebuildCallHistory();
}

void ExtrasWiring::rigControl()
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

void ExtrasWiring::applyRigSetting()
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

void ExtrasWiring::followRigMode(const QString &rigMode)
{
    if (!m_followRig || !m_followRig->isChecked())
        return;
    const QString mode = RigLink::loggerModeFor(rigMode);
    if (mode.isEmpty() || mode == m_form.preferences().currentMode)
        return;
    if (mode == u"CW")
        m_form.mnuCW_Click();
    else
        m_form.mnuSSB_Click();
}

void ExtrasWiring::startRigctldMenu()
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

void ExtrasWiring::applyRigctldSetting()
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
        m_entry->setStatus(QStringLiteral("rigctld is not installed (Debian package libhamlib-utils)."));
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

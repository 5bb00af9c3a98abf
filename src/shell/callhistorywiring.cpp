#include "shell/callhistorywiring.h"

#include "core/prefixtable.h"
#include "logging/entrylinewidget.h"
#include "platform/dialogs.h"
#include "platform/settingsstore.h"
#include "shell/settingswitch.h"

#include <QAction>
#include <QMenu>
#include <QThread>

CallHistoryWiring::CallHistoryWiring(Form1 &form, const Form1Services &services)
    : QObject(&form), m_form(form), m_services(services), m_entry(&form.entryLine())
{
    setObjectName(QStringLiteral("CallHistoryWiring"));
    QMenu *options = form.optionsMenu();
    m_switch = addSettingSwitch(options, services.settings, QStringLiteral("mnuCallHistory"),
                                QStringLiteral("Call &History"), kSettingKey, true);
    connect(m_switch, &QAction::toggled, this, [this](bool on) {
        if (on && !m_ready)
            rebuild();
    });
    QAction *file = options->addAction(QStringLiteral("Call History F&ile..."));
    file->setObjectName(QStringLiteral("mnuCallHistoryFile"));
    connect(file, &QAction::triggered, this, &CallHistoryWiring::chooseFile);
    connect(m_entry, &EntryLineWidget::callFieldLeft, this, &CallHistoryWiring::prefill);
    if (m_switch->isChecked())
        rebuild();
}

CallHistoryWiring::~CallHistoryWiring()
{
    // The build only reads files; at most a moment is left of it.
    if (m_builder) {
        m_builder->disconnect(this);
        m_builder->wait();
        delete m_builder;
    }
}

void CallHistoryWiring::rebuild()
{
    if (m_builder) {
        m_rebuildPending = true;
        return;
    }
    auto result = std::make_shared<CallHistory>();
    auto problem = std::make_shared<QString>();
    const AppFolders folders = m_services.folders;
    const QString file = m_services.settings ? m_services.settings->value(QString::fromLatin1(kFileKey)) : QString();
    m_builder = QThread::create([result, problem, folders, file] { *result = CallHistory::build(folders, file, problem.get()); });
    connect(m_builder, &QThread::finished, this, [this, result, problem] {
        m_history = std::move(*result);
        m_ready = true;
        m_builder->deleteLater();
        m_builder = nullptr;
        if (!problem->isEmpty()) {
            m_entry->setStatus(*problem);
            m_entry->announce(*problem);
        }
        if (std::exchange(m_rebuildPending, false))
            rebuild();
    });
    m_builder->start(QThread::LowPriority);
}

void CallHistoryWiring::prefill(const QString &typedCall)
{
    if (!m_switch->isChecked())
        return;
    const QString call = typedCall.trimmed().toUpper();
    if (call.isEmpty())
        return;
    // A portable call (W2ABC/4, KH6/W2ABC) is the same operator: known under the base call.
    QString base;
    for (const QString &part : call.split(u'/', Qt::SkipEmptyParts)) {
        if (part.size() > base.size())
            base = part;  // the longest part; the first of equal ones
    }
    // This log's contacts are the newest; the history was read from disk at start.
    std::optional<CallHistory::Entry> hit = m_ready ? m_history.lookup(call) : std::nullopt;
    if (!hit && m_ready && base != call)
        hit = m_history.lookup(base);
    const LogStore &log = m_form.logStore();
    for (int n = log.count(); n >= 1; --n) {
        const QsoRecord &r = log.record(n);
        if (r.call.compare(call, Qt::CaseInsensitive) != 0 && r.call.compare(base, Qt::CaseInsensitive) != 0)
            continue;
        const QString when = r.date + u' ' + r.time;
        if (!hit || hit->when <= when)
            hit = CallHistory::Entry{r.name, r.qth, r.memberNumber, QStringLiteral("log.txt"), when};
        break;
    }
    if (!hit)
        return;
    const EntryLineWidget::Exchange now = m_entry->exchange();
    EntryLineWidget::Exchange fill;
    if (now.name.isEmpty())
        fill.name = hit->name;
    // The country the call's prefix proposed is not the operator's typing; the state they sent
    // last time says more.
    const bool qthUntyped = now.qth.isEmpty() || now.qth == u"Not Found"
                            || now.qth == m_form.prefixTable().lookup(call).country;
    if (qthUntyped && hit->qth != now.qth)
        fill.qth = hit->qth;
    if (now.number.isEmpty())
        fill.number = hit->memberNumber;
    if (fill.name.isEmpty() && fill.qth.isEmpty() && fill.number.isEmpty())
        return;
    m_entry->prefillExchange(fill);
    m_entry->setStatus(callHistoryStatus(*hit));
}

void CallHistoryWiring::chooseFile()
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
    m_services.settings->setValue(QString::fromLatin1(kFileKey), chosen);
    rebuild();
}

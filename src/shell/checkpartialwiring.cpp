#include "shell/checkpartialwiring.h"

#include "logging/entrylinewidget.h"
#include "shell/settingswitch.h"

#include <QAction>
#include <QFontMetrics>
#include <QLabel>
#include <QMenu>

CheckPartialWiring::CheckPartialWiring(Form1 &form, const Form1Services &services)
    : QObject(&form), m_form(form), m_folders(services.folders), m_entry(&form.entryLine())
{
    setObjectName(QStringLiteral("CheckPartialWiring"));
    // Beside the continent and bearing, under the entry line.
    m_line = m_entry->addInfoLine(QStringLiteral("lblCheckPartial"), 4700, 1150, 4800, 240);
    form.optionsMenu()->addSeparator();
    m_switch = addSettingSwitch(form.optionsMenu(), services.settings,
                                QStringLiteral("mnuCheckPartial"), QStringLiteral("Chec&k Partial"),
                                kSettingKey, true);
    connect(m_switch, &QAction::toggled, this, [this] { show(m_entry->call()); });
    connect(&form, &Form1::callTextChanged, this, &CheckPartialWiring::show);
    // Read at start, not on the first key of the first call.
    if (m_switch->isChecked())
        load();
}

void CheckPartialWiring::refreshWorked()
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

void CheckPartialWiring::load()
{
    if (m_loaded)
        return;
    m_loaded = true;
    const QString path = locateMasterScp(m_folders);
    if (!path.isEmpty())
        m_scp.load(path);
}

void CheckPartialWiring::show(const QString &call)
{
    if (!m_switch->isChecked()) {
        m_line->clear();
        m_line->hide();
        return;
    }
    load();
    m_line->show();
    if (call.isEmpty()) {
        // Between contacts (logged, cleared or edited): the log may have changed under the same
        // count, so the worked calls are read again here rather than on a typed key.
        m_workedCount = -1;
        refreshWorked();
    }
    if (call.size() < SuperCheckPartial::kMinimumTyped || m_scp.isEmpty()) {
        m_line->clear();
        return;
    }
    refreshWorked();
    // As many as fit on the line.
    const QList<SuperCheckPartial::Match> found = m_scp.matches(call, 80, m_worked);
    const QFontMetrics metrics(m_line->font());
    const int room = m_line->width();
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
    m_line->setText(SuperCheckPartial::formatLine(found.mid(0, fits)));
    m_entry->announceWhenSettled(found.isEmpty() ? QString() : QStringLiteral("Check partial: ") + m_line->text());
}

#include "shell/broadcastwiring.h"
#include "shell/settingswitch.h"

#include "core/frequencylog.h"
#include "core/logstore.h"
#include "core/preferences.h"
#include "logging/entrylinewidget.h"
#include "platform/dialogs.h"
#include "platform/settingsstore.h"
#include "rig/broadcaster.h"
#include "rig/riglink.h"
#include "rig/scoreposter.h"
#include "reports/cabrillowriter.h"
#include "reports/reportjobs.h"
#include "reports/reportcontext.h"
#include "reports/reportdata.h"
#include "platform/clock.h"
#include "shell/mainwindow.h"

#include <QAction>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QMenu>

BroadcastWiring::BroadcastWiring(Form1 &form, const Form1Services &services)
    : QObject(&form), m_form(form), m_services(services), m_broadcaster(new Broadcaster(this)),
      m_score(new ScorePoster(this))
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
    const QString frequencies = services.folders.workFile(QString::fromLatin1(FrequencyLog::kFileName));
    connect(&form.entryLine(), &EntryLineWidget::enterFinished, this, [this, station, hz, frequencies](bool logged) {
        const LogStore &log = m_form.logStore();
        if (!logged || log.count() == 0)
            return;
        const QsoRecord &record = log.record(log.count());
        // The contact is in log.txt already; its frequency follows at once, flushed the same way.
        QString error;
        if (const qint64 at = hz(); at > 0 && !FrequencyLog::append(frequencies, record, {at, {}}, &error))
            m_form.entryLine().setStatus(QStringLiteral("The contact is logged; its frequency could not be kept: ") + error, true);
        station();
        m_broadcaster->contactLogged(record, hz());
    });
    connect(&form, &Form1::contactEdited, this, [this, station, hz, frequencies](const QsoRecord &before, const QsoRecord &after) {
        FrequencyLog kept;
        if (kept.load(frequencies, m_form.logStore().records() + QList<QsoRecord>{before}))
            kept.replace(frequencies, before, after);
        station();
        m_broadcaster->contactReplaced(before, after, kept.entryOf(after).hz > 0 ? kept.entryOf(after).hz : hz());
    });
    connect(&form, &Form1::contactDeleted, this, [this, station, frequencies](const QsoRecord &record) {
        FrequencyLog kept;
        if (kept.load(frequencies, m_form.logStore().records() + QList<QsoRecord>{record}))
            kept.remove(frequencies, record);
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

    m_score->setSource([this] {
        const ReportContext ctx = m_form.reportContext();
        const QList<QsoRecord> &records = ctx.log->records();
        const reports::Contest contest = reports::proposedContest(records, ctx.clock->utcNow().date());
        ScorePoster::Score s;
        s.contest = CabrilloWriter::contest3(contest, records);
        reports::ReportFields kept;
        if (ctx.settings)
            ReportJobs::storedAddress(*ctx.settings, kept);
        s.operatorClass = CabrilloWriter::categoryOperator3(kept.entryClass);
        s.power = CabrilloWriter::categoryPower3(kept.entryClass);
        s.call = ctx.prefs->ownCall.trimmed().toUpper();
        s.state = ctx.prefs->ownState.trimmed();
        s.mode = records.isEmpty() ? QStringLiteral("MIXED") : CabrilloWriter::categoryMode3(records);
        s.contacts = int(records.size());
        s.score = ctx.scoreText.trimmed();
        s.utc = ctx.clock->utcNow();
        return s;
    });
    connect(m_score, &ScorePoster::failed, this, [this](const QString &why) {
        m_form.entryLine().setStatus(QStringLiteral("Live score not posted: %1. It is tried again.").arg(why), true);
    });
    configureScore();
    QAction *score = form.optionsMenu()->addAction(QStringLiteral("Live &Score..."));
    score->setObjectName(QStringLiteral("mnuLiveScore"));
    connect(score, &QAction::triggered, this, &BroadcastWiring::askForScoreBoard);
}

void BroadcastWiring::configureScore()
{
    if (!m_services.settings)
        return;
    SettingsStore &s = *m_services.settings;
    const int minutes = s.value(QString::fromLatin1(ScorePoster::kMinutesKey), QString::number(ScorePoster::kDefaultMinutes)).toInt();
    QString error;
    if (!m_score->configure(s.value(QString::fromLatin1(ScorePoster::kUrlKey), QString()),
                            s.value(QString::fromLatin1(ScorePoster::kUserKey), QString()),
                            s.value(QString::fromLatin1(ScorePoster::kPasswordKey), QString()),
                            minutes > 0 ? minutes : ScorePoster::kDefaultMinutes, &error))
        m_form.entryLine().setStatus(QStringLiteral("Live score is off: ") + error, true);
}

void BroadcastWiring::askForScoreBoard()
{
    if (!m_services.settings || !m_services.dialogs)
        return;
    SettingsStore &s = *m_services.settings;
    QDialog ask(&m_form);
    ask.setObjectName(QStringLiteral("frmLiveScore"));
    ask.setWindowTitle(QStringLiteral("Live Score"));
    auto *form = new QFormLayout(&ask);
    auto *note = new QLabel(QStringLiteral("Posts your claimed score to an online score board every few minutes "
                                           "while you log. Leave the address empty to stop."), &ask);
    note->setTextFormat(Qt::PlainText);
    note->setWordWrap(true);
    form->addRow(note);
    auto *url = new QLineEdit(s.value(QString::fromLatin1(ScorePoster::kUrlKey), QString()), &ask);
    url->setObjectName(QStringLiteral("txtScoreUrl"));
    auto *user = new QLineEdit(s.value(QString::fromLatin1(ScorePoster::kUserKey), QString()), &ask);
    user->setObjectName(QStringLiteral("txtScoreUser"));
    auto *password = new QLineEdit(s.value(QString::fromLatin1(ScorePoster::kPasswordKey), QString()), &ask);
    password->setObjectName(QStringLiteral("txtScorePassword"));
    password->setEchoMode(QLineEdit::Password);
    auto *minutes = new QSpinBox(&ask);
    minutes->setObjectName(QStringLiteral("spnScoreMinutes"));
    minutes->setRange(1, 60);
    minutes->setValue(s.value(QString::fromLatin1(ScorePoster::kMinutesKey), QString::number(ScorePoster::kDefaultMinutes)).toInt());
    form->addRow(QStringLiteral("Score board &address:"), url);
    form->addRow(QStringLiteral("&User:"), user);
    form->addRow(QStringLiteral("&Password:"), password);
    form->addRow(QStringLiteral("Post every (&minutes):"), minutes);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &ask);
    connect(buttons, &QDialogButtonBox::accepted, &ask, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, &ask, &QDialog::reject);
    form->addRow(buttons);
    if (ask.exec() != QDialog::Accepted)
        return;
    QString error;
    if (!m_score->configure(url->text(), user->text(), password->text(), minutes->value(), &error)) {
        m_services.dialogs->message(&m_form, error, QStringLiteral("Live Score"), Dialogs::Buttons::Ok,
                                    Dialogs::Icon::Warning);
        return;
    }
    s.setValue(QString::fromLatin1(ScorePoster::kUrlKey), url->text().trimmed());
    s.setValue(QString::fromLatin1(ScorePoster::kUserKey), user->text());
    s.setValue(QString::fromLatin1(ScorePoster::kPasswordKey), password->text());
    s.setValue(QString::fromLatin1(ScorePoster::kMinutesKey), QString::number(minutes->value()));
    m_score->postNow();  // the board shows the station at once
}

void BroadcastWiring::askForTargets()
{
    if (!m_services.settings || !m_services.dialogs)
        return;
    askForAddressSetting(
        &m_form, *m_services.settings, *m_services.dialogs, Broadcaster::kSettingsKey,
        QStringLiteral("Send each contact logged, edited or deleted, and the rig's frequency, as UDP "
                       "datagrams to these addresses (for example 127.0.0.1:12060, or a network's "
                       "broadcast address such as 192.168.1.255:12060; several with blanks between). "
                       "Enter \"off\" to stop."),
        QStringLiteral("UDP Broadcasts"), QStringLiteral("127.0.0.1:12060"), [this](const QString &targets, QString *error) {
            if (!m_broadcaster->setTargets(targets, error))
                return false;
            if (RigLink *rig = m_services.rig)
                m_broadcaster->setRadio(rig->isConnected(), rig->frequencyHz(), rig->mode());
            return true;
        });
}

#include "shell/mainwindow.h"
#include "shell/cwwiring.h"
#include "shell/entersendswiring.h"
#include "shell/spotwiring.h"
#include "shell/voicewiring.h"
#include "shell/wkwiring.h"

#include "core/frequencylog.h"
#include "core/entryline.h"
#include "core/fieldfile.h"
#include "core/statetable.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "bandplan/frmbandplan.h"
#include "logging/backup.h"
#include "logging/colourwindow.h"
#include "logging/editcontact.h"
#include "logging/entrylinewidget.h"
#include "logging/stationsetup.h"
#include "reports/reportactions.h"
#include "reports/reportconstants.h"
#include "reports/reportcontext.h"
#include "shell/callhistorywiring.h"
#include "shell/checkpartialwiring.h"
#include "shell/broadcastwiring.h"
#include "shell/fldigiwiring.h"
#include "shell/rigwiring.h"
#include "stats/graphqso.h"
#include "stats/timestats.h"
#include "logging/helpwindow.h"
#include "shell/bandmapwiring.h"
#include "spotting/spotstore.h"
#include "ui/formscaler.h"
#include "ui/wincolour.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

#include <memory>
#include <QTreeWidget>

#include <cmath>

namespace {
QString colourStyle(qint32 windowsColour)
{
    const QColor c = wincolour::toQColor(windowsColour);
    return QStringLiteral("color: rgb(%1, %2, %3);").arg(c.red()).arg(c.green()).arg(c.blue());
}

const QString kLoadErrorText = QStringLiteral("Error opening file.");
const QString kFileErrorText = QStringLiteral(
    "Error opening file.  This error is annoying but probably correctable.  In all likelihood, a "
    "character such as a quote got into your data or one of your entries has an invalid date/time "
    "format.  Close this program and open log.txt in the program's working directory with a text "
    "editor such as notepad.  Inspect the data and fix any errors you see (remove any extra quotes "
    "and make sure your date and time entries are valid).");
}  // namespace

QString Form1::caption()
{
    return QString::fromLatin1(reports::kMainWindowTitle);
}

Form1::Form1(const Form1Services &services, QWidget *parent)
    : QMainWindow(parent), m_services(services), m_dialogs(*services.dialogs), m_clock(*services.clock)
{
    setObjectName(QStringLiteral("Form1"));
    // The padded caption is what the report files carry; the title bar shows it without blanks.
    setWindowTitle(caption().trimmed());
    buildControls();
    buildMenus();
    registerCommandKeys();
    m_spotting = new SpotWiring(*this, m_services);
    new CheckPartialWiring(*this, m_services);
    new CallHistoryWiring(*this, m_services);
    if (m_services.rig)
        new RigWiring(*this, m_services);
    new BroadcastWiring(*this, m_services);
    new FldigiWiring(*this, m_services);
    // Laid out for the 640 x 480 design screen; the load scales it to the real one.
    resize(formscale::px(formscale::kDesignWidth), formscale::px(formscale::kDesignHeight));
    // Key preview: every key reaches the logger before the focused control.
    qApp->installEventFilter(this);
    // One keyer thread owns the CW key line and the voice PTT line; the external keyer may sit
    // on the same port. Each of the three closes the others' hold on it before it opens.
    const CwParts cw = wireCw(*this, m_services);
    WinKeyWiring &winKeyer = *wireWinKeyer(*this, m_services, cw);
    // After the CW keys: the voice keys join their Options > Transmit menu.
    VoiceKeyer &voice = wireVoice(*this, m_services, winKeyer);
    new EnterSendsWiring(*this, m_services, *cw.control, voice);
}

SpotStore &Form1::spotStore() const { return m_spotting->store(); }

BandMapWiring &Form1::bandMaps() const { return m_spotting->bandMaps(); }

Form1::~Form1()
{
    qApp->removeEventFilter(this);
    // The entry line uses the log and the key dispatcher, which go before the child widgets.
    delete m_entry;
}

QString Form1::preferencesPath() const
{
    return m_services.folders.workFile(QString::fromLatin1(Preferences::kFileName));
}

QString Form1::logPath() const { return m_services.folders.workFile(QStringLiteral("log.txt")); }

void Form1::Form_Load()
{
    // A fresh entry line with partial dupes on.
    m_entry->reset();
    cmdDup->setText(QStringLiteral("On"));

    // Preferences. A first start has none yet: write the defaults.
    const QString prefPath = preferencesPath();
    if (!QFileInfo::exists(prefPath)) {
        m_prefs = Preferences::defaults(m_clock);
        savepref();
    } else {
        // Going on keeps the log loaded and the dupe check working; stopping here would leave
        // contacts to be appended to a log the program never read. What could be read is kept,
        // and the damaged file itself too, before the next save replaces it.
        m_prefs = Preferences::defaults(m_clock);
        if (!m_prefs.load(prefPath)) {
            Preferences::keepDamagedCopy(prefPath);
            m_dialogs.message(this, kLoadErrorText, QStringLiteral("Error opening file"));
        }
    }
    checkUtcOffset();
    // Fill the screen (or the work area, or the set share of the screen) and scale every control.
    formscale::resizeMainWindow(this, m_dialogs, m_prefs);
    mnuTaskbar->setChecked(m_prefs.taskbarOption != 0);
    // The state grid.
    for (int i = 1; i <= statetable::kCount; ++i) {
        Label10[i - 1]->setText(statetable::abbr(i));
        Label10[i - 1]->setToolTip(statetable::name(i));
    }
    paintStateGrid();
    showOwnStation();
    applyMode(m_prefs.currentMode);
    // The prefix table; a missing file leaves the lookup answering "Not Found".
    const QString prefixPath = locateDataFile(m_services.folders, QString::fromLatin1(PrefixTable::kFileName));
    if (QFileInfo::exists(prefixPath))
        m_prefixes.load(prefixPath);
    Timer2->start();
    Timer2_Timer();
    Timer1->start();

    // Station setup at every start.
    mnuSetup_Click();

    // Continue or start anew.
    const auto answer = m_dialogs.message(
        this,
        QStringLiteral("Do you want to continue an existing contest? (Yes opens your existing log, No "
                       "erases any existing log and starts a new log.)"),
        QStringLiteral("Open existing log?"), Dialogs::Buttons::YesNo, Dialogs::Icon::Question);
    if (answer == Dialogs::Answer::Yes)
        mnuopen2();
    else
        mnuNew_Click();
    showEditButtons(false);
    m_loaded = true;
    if (!m_programEnded) {
        // Back to the logger after the start-up dialogs, ready for the first call.
        activateWindow();
        raise();
        m_entry->focusCall();
    }
}

void Form1::setVoiceNavigationLevel(int level)
{
    m_prefs.voiceNavigationLevel = level;
    savepref();
}

void Form1::savepref()
{
    QString error;
    if (!m_prefs.save(preferencesPath(), &error))
        m_dialogs.message(this, QStringLiteral("tntnprf.txt could not be written: %1").arg(error),
                          QStringLiteral("Error saving preferences"));
}

void Form1::checkUtcOffset()
{
    const float recommended = recommendedUtcOffset(m_clock);
    if (std::fabs(m_prefs.utcOffset - recommended) < 0.001f)
        return;
    const QString crlf = QStringLiteral("\r\n");
    const QString prompt =
        QStringLiteral("Would you like to adjust the UTC offset in this program for your local time setting?")
        + crlf + crlf + QStringLiteral("Current System Time: ") + m_clock.utcNow().toString(QStringLiteral("HH:mm"))
        + crlf + QStringLiteral("Current Local Time: ") + m_clock.localNow().toString(QStringLiteral("HH:mm"))
        + crlf + crlf + QStringLiteral("Recommended Offset Setting: ") + fieldfile::formatNumber(recommended)
        + crlf + QStringLiteral("Current Offset Setting: ") + fieldfile::formatNumber(m_prefs.utcOffset)
        + crlf + crlf
        + QStringLiteral("Please click OK to accept the recommended change or Cancel to keep the current setting.");
    const QString answer = m_dialogs.input(this, prompt, QStringLiteral("Update the Local Time / UTC Offset?"),
                                           fieldfile::formatNumber(recommended));
    double value = 0;
    if (fieldfile::parseNumber(answer, value)) {
        m_prefs.utcOffset = float(value);
        savepref();
    }
}

void Form1::Timer2_Timer()
{
    const QDateTime local = m_clock.localNow();
    const QDateTime utc = entryline::utcFromLocal(local, m_prefs.utcOffset);
    lblutctime->setText(utc.toString(QStringLiteral("HH:mm:ss")));
    QString twelve = local.toString(QStringLiteral("h:mm:ss AP"));
    lblCurTime->setText(twelve.left(twelve.size() - 3));
    Label16->setText(local.toString(QStringLiteral("AP")));
}

void Form1::applyMode(const QString &mode)
{
    const QString m = mode.toUpper();
    if (m == u"PH")
        mnuSSB_Click();
    else if (m == u"DG")
        mnuDigital_Click();
    else
        mnuCW_Click();
}

void Form1::mnuCW_Click()
{
    mnuCW->setChecked(true);
    mnuSSB->setChecked(false);
    mnuDigital->setChecked(false);
    m_prefs.currentMode = QStringLiteral("CW");
}

void Form1::mnuSSB_Click()
{
    mnuCW->setChecked(false);
    mnuSSB->setChecked(true);
    mnuDigital->setChecked(false);
    m_prefs.currentMode = QStringLiteral("PH");
}

void Form1::mnuDigital_Click()
{
    mnuCW->setChecked(false);
    mnuSSB->setChecked(false);
    mnuDigital->setChecked(true);
    m_prefs.currentMode = QStringLiteral("DG");
}

void Form1::showOwnStation()
{
    Label12->setText(m_prefs.ownFirstName);
    Label2->setText(m_prefs.ownCall);
    Label1->setText(m_prefs.ownState);
    Label4->setText(m_prefs.ownMemberNumber);
}

void Form1::mnuopen2()
{
    QString error;
    const QString path = logPath();
    LogStore::LoadResult result = m_log.load(path, &error);
    if (result == LogStore::LoadResult::Missing) {
        // A first start has no log yet: start an empty one instead of ending. A log that
        // vanished while the program ran is written again from the contacts in memory, the
        // only copy left of them.
        const bool rebuild = m_log.count() > 0;
        const bool written = rebuild ? m_log.rewriteLogFile(path, &error)
                                     : fieldfile::writeFileAtomic(path, QByteArray(), &error);
        if (written) {
            if (rebuild)
                m_dialogs.message(this,
                                  QStringLiteral("log.txt was missing from the working folder. It has been "
                                                 "written again from the %1 contacts in memory.")
                                      .arg(m_log.count()),
                                  QStringLiteral("Log Written Again"), Dialogs::Buttons::Ok,
                                  Dialogs::Icon::Warning);
            result = m_log.load(path, &error);
        }
    }
    if (result != LogStore::LoadResult::Ok) {
        // The program ends, but the contacts held in memory go to BACKUP first.
        if (const QString saved = backup::backupFromMemory(m_log, m_services.folders, m_clock); !saved.isEmpty())
            m_dialogs.message(this,
                              QStringLiteral("log.txt could not be read again, so the %1 contacts in memory "
                                             "were saved to %2 before the program ends.")
                                  .arg(m_log.count())
                                  .arg(QDir::toNativeSeparators(saved)),
                              QStringLiteral("Contacts Saved"), Dialogs::Buttons::Ok, Dialogs::Icon::Warning);
        m_dialogs.message(this, kFileErrorText, QStringLiteral("File Error"));
        endProgram();
        return;
    }
    paintStateGrid();
    showDxList();
    refreshLogList();
    TimeStats();
    Labeldisplay();
}

void Form1::paintStateGrid()
{
    // Runs after every Enter: only a state whose colour changes gets a new style sheet, since
    // setting one re-polishes the label.
    for (int i = 1; i <= statetable::kCount; ++i) {
        const QString style = colourStyle(m_log.stateWorked(i) ? m_prefs.workedColour : m_prefs.notWorkedColour);
        if (Label10[i - 1]->styleSheet() != style)
            Label10[i - 1]->setStyleSheet(style);
    }
}

static QString listDate(const QString &date)
{
    const QDate d = QDate::fromString(date, QStringLiteral("yyyy/MM/dd"));
    return d.isValid() ? d.toString(QStringLiteral("MM/dd")) : date;
}

static QString listTime(const QString &time)
{
    QTime t = QTime::fromString(time, QStringLiteral("HH:mm:ss"));
    if (!t.isValid())
        t = QTime::fromString(time, QStringLiteral("H:mm"));
    return t.isValid() ? t.toString(QStringLiteral("HH:mm")) : time;
}

static QTreeWidgetItem *listRow(const LogStore &log, int n)
{
    const QsoRecord &r = log.record(n);
    return new QTreeWidgetItem({QString::number(n), r.call, r.name, r.qth, r.memberNumber,
                                listDate(r.date) + u' ' + listTime(r.time), r.mode, r.points});
}

void Form1::refreshLogList()
{
    m_listSorted = false;
    ListView1->clear();
    QList<QTreeWidgetItem *> rows;
    for (int n : m_log.listedRecordNumbers())
        rows.append(listRow(m_log, n));
    ListView1->addTopLevelItems(rows);
}

void Form1::listNewestRecord()
{
    // One row in at the top instead of the whole list again: with "All" shown on a full log the
    // rebuild took longer than the operator's next key. A list the operator sorted is rebuilt.
    const QList<int> listed = m_log.listedRecordNumbers();
    if (m_listSorted || listed.isEmpty() || listed.first() != m_log.count()
        || ListView1->topLevelItemCount() + 1 < listed.size()) {
        refreshLogList();
        return;
    }
    ListView1->insertTopLevelItem(0, listRow(m_log, m_log.count()));
    while (ListView1->topLevelItemCount() > listed.size())
        delete ListView1->takeTopLevelItem(ListView1->topLevelItemCount() - 1);
}

void Form1::cmdList_Click()
{
    m_log.setShowAll(!m_log.showAll());
    cmdList->setText(m_log.showAll() ? QStringLiteral("All") : QStringLiteral("Last 20"));
    refreshLogList();
    m_entry->focusCall();
}

void Form1::Labeldisplay()
{
    lblTotCon->setText(QString::number(m_log.count()));
    lblTotSec->setText(QString::number(double(m_log.pointsTotal())));
}

void Form1::TimeStats()
{
    // An unreadable date or time in the last hour leaves the rates as they were.
    if (const auto rates = TimeStats::compute(m_log, m_clock, m_prefs.utcOffset)) {
        lblAQSO60->setText(rates->lblAQSO60());
        lblAQSO20->setText(rates->lblAQSO20());
    }
}

void Form1::showEditButtons(bool show)
{
    cmdEdit->setVisible(show);
    cmdDelete->setVisible(show);
}

void Form1::mnuOpenFolder_Click()
{
    const QString current = m_services.folders.workingDir;
    const QString chosen = m_dialogs.chooseFolder(this, QStringLiteral("Open Contest Folder"),
                                                  QFileInfo(current).absolutePath());
    if (chosen.isEmpty())
        return;
    if (QDir(chosen).canonicalPath() == QDir(current).canonicalPath()) {
        m_dialogs.message(this, QStringLiteral("%1 is the contest folder in use.").arg(QDir::toNativeSeparators(chosen)),
                          QStringLiteral("Open Contest Folder"), Dialogs::Buttons::Ok, Dialogs::Icon::Information);
        return;
    }
    // The close is the usual one: its questions, the closing backup. Refused, nothing changes.
    if (!close())
        return;
    if (!m_services.startInFolder(chosen))
        m_dialogs.message(nullptr,
                          QStringLiteral("The program could not be started in %1. Start it there from a "
                                         "terminal: vardel --folder %1").arg(QDir::toNativeSeparators(chosen)),
                          QStringLiteral("Open Contest Folder"), Dialogs::Buttons::Ok, Dialogs::Icon::Warning);
}

void Form1::mnuNew_Click()
{
    const QString answer = m_dialogs.input(
        this,
        QStringLiteral("Are you sure that you want to start a new log file?  This function will ERASE the "
                       "existing log file!\r\n\r\nTo verify that you want to start a new log file, please type: YES"),
        QStringLiteral("WARNING - Your existing log file will be ERASED!"));
    if (answer.toUpper() == u"YES") {
        QString error;
        if (!backupBeforeErasing()) {
            m_dialogs.message(this,
                              QStringLiteral("No backup copy of log.txt could be made in %1, so the log "
                                             "was not erased.")
                                  .arg(QDir::toNativeSeparators(m_services.folders.backupFolder())),
                              QStringLiteral("Log Not Erased"), Dialogs::Buttons::Ok, Dialogs::Icon::Critical);
        } else if (fieldfile::writeFileAtomic(logPath(), QByteArray(), &error)) {
            m_log.clear();
            savepref();
        } else {
            m_dialogs.message(this, QStringLiteral("log.txt could not be emptied: %1").arg(error),
                              QStringLiteral("File Error"));
        }
    }
    mnuopen2();
    TimeStats();
}

bool Form1::backupBeforeErasing()
{
    // Any contacts on disk are copied first, whether or not they changed this session (the
    // close-time backup skips an unchanged log, but an erase is for good). At start the log
    // has not even been read yet when the operator answers No.
    LogStore onDisk;
    if (onDisk.load(logPath()) == LogStore::LoadResult::Ok) {
        if (onDisk.count() == 0)
            return true;
        onDisk.setRecordsAtStart(0);
        return !backup::backupLog(onDisk, m_services.folders, m_clock).isEmpty();
    }
    if (QFileInfo(logPath()).size() <= 0)
        return true;
    // Not a readable log, but still the operator's data.
    QDir().mkpath(m_services.folders.backupFolder());
    QString error;
    return backup::copyBytes(logPath(), backup::freeBackupPath(m_services.folders, m_clock.localNow()), &error);
}

void Form1::mnuPostContest_Click()
{
    mnuPostContest->setChecked(m_entry->togglePostContest());
}

void Form1::mnuSetup_Click()
{
    if (runStationSetup(this, m_prefs, m_prefixes, *m_services.shared, *m_services.settings, m_dialogs))
        applyMode(m_prefs.currentMode);
    showOwnStation();
    savepref();
}

ReportContext Form1::reportContext() const
{
    ReportContext context;
    context.log = &m_log;
    context.prefs = &m_prefs;
    context.folders = m_services.folders;
    context.dialogs = &m_dialogs;
    context.settings = m_services.settings;
    context.shared = m_services.shared;
    context.clock = &m_clock;
    context.scoreText = lblTotSec->text();
    context.windowTitle = caption();
    context.prefixes = &m_prefixes;
    // The frequencies recorded beside the log, read as they stand now.
    auto frequencies = std::make_shared<FrequencyLog>();
    frequencies->load(m_services.folders.workFile(QString::fromLatin1(FrequencyLog::kFileName)), m_log.records());
    context.frequencyOf = [frequencies](const QsoRecord &r) { return frequencies->entryOf(r).hz; };
    context.submodeOf = [frequencies](const QsoRecord &r) { return frequencies->entryOf(r).submode; };
    return context;
}

void Form1::mnuWriteSumm_Click() { reports::openReportWindow(this, reportContext()); }
void Form1::mnuTallisImport_Click() { reports::exportForTallis(this, reportContext()); }
void Form1::mnuADIF_Click() { reports::exportAdif(this, reportContext()); }
void Form1::mnuContestAdif_Click() { reports::exportContestAdif(this, reportContext()); }
void Form1::mnuCopyListtoClipboard_Click() { reports::copyListedItems(*ListView1); }

void Form1::mnuGraph_Click() { showQsoGraph(this, m_log, m_dialogs); }

void Form1::mnuPrivileges_Click() { showPrivileges(this, bandPlanPath(m_services.folders), m_dialogs); }
void Form1::mnuColors_Click()
{
    Form6 colours(m_prefs, m_dialogs, this);
    colours.exec();
    savepref();
    mnuopen2();
}

void Form1::mnuHelp_Click()
{
    Form5 help(m_services.folders.workingDir, m_dialogs, this);
    help.exec();
}

void Form1::mnuFormSize_Click()
{
    FormSizeCommands commands(m_dialogs, m_prefs, [this] { return savePreferencesQuietly(); });
    commands.formSize(this);
}

void Form1::mnuTaskbar_Click()
{
    FormSizeCommands commands(m_dialogs, m_prefs, [this] { return savePreferencesQuietly(); });
    commands.taskbar(this);
    mnuTaskbar->setChecked(m_prefs.taskbarOption != 0);
}

bool Form1::savePreferencesQuietly()
{
    return m_prefs.save(preferencesPath());
}
void Form1::mnuArchive_Click()
{
    backup::archiveCurrentLog(this, m_services.folders, m_prefs.ownCall, m_clock, m_dialogs);
}

void Form1::mnuRestore_Click()
{
    if (backup::restoreFromArchive(this, m_log, m_services.folders, m_dialogs))
        mnuopen2();
}

int Form1::selectedRecord() const
{
    const QTreeWidgetItem *item = ListView1->currentItem();
    return item ? item->text(0).toInt() : 0;
}

void Form1::cmdEdit_Click()
{
    const int n = selectedRecord();
    if (n < 1 || n > m_log.count())
        return;
    const QsoRecord before = m_log.record(n);
    const frmEditCon::Outcome outcome = runEditContact(this, m_log, n, m_prefixes, m_dialogs);
    if (outcome == frmEditCon::Outcome::DeleteRequested) {
        if (deleteRecordWithConfirmation(this, m_log, n, m_dialogs))
            emit contactDeleted(before);
    } else if (outcome == frmEditCon::Outcome::Stored && n <= m_log.count()) {
        emit contactEdited(before, m_log.record(n));
    }
    refreshLogList();
    showEditButtons(false);
    rewriteAndReload();
}

void Form1::cmdDelete_Click()
{
    const int n = selectedRecord();
    showEditButtons(false);
    if (n < 1 || n > m_log.count())
        return;
    const QsoRecord before = m_log.record(n);
    if (deleteRecordWithConfirmation(this, m_log, n, m_dialogs))
        emit contactDeleted(before);
    rewriteAndReload();
}

void Form1::rewriteAndReload()
{
    QString error;
    if (!m_log.rewriteLogFile(logPath(), &error)) {
        // The file still holds the log as it was; reloading brings memory back in line with it.
        m_dialogs.message(this, QStringLiteral("log.txt could not be rewritten, so the change was not saved:\r\n%1").arg(error),
                          QStringLiteral("Log Not Saved"), Dialogs::Buttons::Ok, Dialogs::Icon::Critical);
    }
    mnuopen2();
}

void Form1::endProgram()
{
    m_programEnded = true;
    Timer1->stop();
    Timer2->stop();
    hide();
    QCoreApplication::exit(0);
}

void Form1::closeEvent(QCloseEvent *event)
{
    bool refused = false;
    for (const auto &guard : m_closeGuards)
        refused = !guard() || refused;  // every guard is asked: each stops its own sending
    if (refused) {
        event->ignore();
        return;
    }
    if (!m_programEnded)
        backup::backupLog(m_log, m_services.folders, m_clock);
    event->accept();
}

#pragma once
#include "core/appfolders.h"
#include "core/logstore.h"
#include "core/preferences.h"
#include "core/prefixtable.h"
#include "ui/keydispatcher.h"

#include <QList>
#include <QMainWindow>
#include <QMap>

#include <functional>

class BandMapWiring;
class ChildProcess;
class Clock;
class EntryLineWidget;
class KeyerThread;
class RigLink;
struct ReportContext;
class Dialogs;
class SettingsStore;
class SharedPreferences;
class WavePlayer;
class SpeechSynth;
class WaveRecorder;
class SpotStore;
class SpotWiring;
class QAction;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPushButton;
class QTimer;
class QTreeWidget;

// What the main window needs from outside; the program passes the real ones, tests fakes.
struct Form1Services {
    AppFolders folders;
    Dialogs *dialogs = nullptr;
    Clock *clock = nullptr;
    SettingsStore *settings = nullptr;
    SharedPreferences *shared = nullptr;
    RigLink *rig = nullptr;  // rig control; none: the Options menu offers none
    ChildProcess *rigctld = nullptr;  // a rigctld the logger starts itself; none: not offered
    // Owns every keying line (CW key, voice PTT) so a shared port has one owner.
    KeyerThread *keyer = nullptr;
    // The voice keyer's messages, the spoken prompts (each on an output of its own) and the
    // recorder of messages.
    WavePlayer *messagePlayer = nullptr;
    WavePlayer *promptPlayer = nullptr;
    WaveRecorder *recorder = nullptr;
    // Speaks the prompts (and spoken messages) nobody recorded; none: they are silent.
    SpeechSynth *speech = nullptr;
    // Starts the program again in another contest folder; none: File does not offer it.
    std::function<bool(const QString &folder)> startInFolder;
};

// The main window: entry line, recent contacts, score, state grid, DX list, clocks and menus.
// It composes the logging logic; the rules themselves live in plain classes.
class Form1 : public QMainWindow {
    Q_OBJECT

public:
    static QString caption();  // "Korvex's Vardel 2.9" padded past 50 characters

    explicit Form1(const Form1Services &services, QWidget *parent = nullptr);
    ~Form1() override;

    // The window's load: preferences, offset check, tables, station setup, the open-or-new
    // question and the log. Run once the window is showing.
    void Form_Load();

    const LogStore &logStore() const { return m_log; }
    // What the report and export commands read: the log, the station, the score shown.
    ReportContext reportContext() const;
    const Preferences &preferences() const { return m_prefs; }
    const PrefixTable &prefixTable() const { return m_prefixes; }
    QString logPath() const;
    bool programEnded() const { return m_programEnded; }
    bool dupeFound() const;

    Clock &clock() const { return m_clock; }
    Dialogs &dialogs() const { return m_dialogs; }
    // The last 50 spots and the DX list rows, fed by the spotting session.
    SpotStore &spotStore() const;
    // The 10 m strip, the band map window and the spot panel's PacketResize.
    BandMapWiring &bandMaps() const;

    // What the subsystems put their parts into.
    EntryLineWidget &entryLine() const { return *m_entry; }
    QWidget *clientArea() const { return m_central; }
    QMenu *optionsMenu() const { return mnuOptions; }
    // Options > Transmit and Options > DX Spotting, made by the first that asks.
    QMenu *transmitMenu();
    QMenu *spottingMenu();

    // Key preview: subsystems register their keys here (see KeyDispatcher for the orders).
    KeyDispatcher &keys() { return m_keys; }
    // Logs the contact in the entry line as Enter would (the CW "!" mark uses it).
    bool logCurrentContact();
    // A keyer is on the air (`what` names it: "CW", the voice message) or has ended; the window
    // shows a red TX sign while any is.
    void setTransmitting(const QString &source, const QString &what, bool on);
    QString transmitText() const;
    // Asked before the window closes; one false refuses the close (a CW message is being sent).
    void addCloseGuard(std::function<bool()> guard) { m_closeGuards.append(std::move(guard)); }

    // Commands reachable from the menus (public so the start-up and tests can run them).
    void mnuopen2();
    void mnuNew_Click();
    void mnuContestAdif_Click();
    // File > Open Contest Folder: this program closes as at any close (the closing backup), and
    // the program starts again in the chosen folder.
    void mnuOpenFolder_Click();
    void mnuCW_Click();
    void mnuSSB_Click();
    void mnuDigital_Click();
    void mnuPostContest_Click();
    void mnuSetup_Click();
    void mnuColors_Click();
    void mnuWriteSumm_Click();
    void mnuTallisImport_Click();
    void mnuADIF_Click();
    void mnuCopyListtoClipboard_Click();
    void mnuGraph_Click();
    void mnuPrivileges_Click();
    void mnuFormSize_Click();
    void mnuTaskbar_Click();
    void mnuHelp_Click();
    void mnuArchive_Click();
    void mnuRestore_Click();
    void cmdClear_Click();
    void cmdList_Click();
    void cmdDup_Click();
    void cmdEdit_Click();
    void cmdDelete_Click();
    void savepref();
    // The voice navigation window's Done: the new level, saved with the preferences.
    void setVoiceNavigationLevel(int level);
    void refreshLogList();
    void Labeldisplay();
    void TimeStats();
    void Timer2_Timer();

signals:
    // The call as typed, for message macros.
    void callTextChanged(const QString &call);
    // A spoken prompt for operators who work by ear ("Call", "Name", "StCntry", "1010", "Dupe").
    // Nothing plays it until a voice keyer is attached.
    void announcementRequested(const QString &prompt);
    // A logged contact was changed in Edit Contact, or deleted; the log file is rewritten after.
    void contactEdited(const QsoRecord &before, const QsoRecord &after);
    void contactDeleted(const QsoRecord &record);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    // Window construction (mainwindow_layout.cpp).
    void buildControls();
    void buildMenus();
    QLabel *makeLabel(const QString &name, const QString &text, int left, int top, int width,
                      int height);
    void registerCommandKeys();
    void afterEnter(bool logged, bool dxListGrew);
    void showDxList();
    void listNewestRecord();

    // Log display.
    void paintStateGrid();
    void showOwnStation();
    void endProgram();
    void checkUtcOffset();
    void applyMode(const QString &mode);
    bool savePreferencesQuietly();
    QString preferencesPath() const;
    int selectedRecord() const;
    void rewriteAndReload();
    bool backupBeforeErasing();  // false: contacts on disk and no copy could be made
    void showEditButtons(bool show);

    Form1Services m_services;
    KeyDispatcher m_keys;
    QList<std::function<bool()>> m_closeGuards;
    QMap<QString, QString> m_transmitting;  // source -> what it sends
    Dialogs &m_dialogs;
    Clock &m_clock;
    LogStore m_log;
    Preferences m_prefs;
    PrefixTable m_prefixes;
    SpotWiring *m_spotting = nullptr;
    bool m_programEnded = false;
    bool m_loaded = false;
    bool m_listSorted = false;  // the operator sorted the recent contacts by a column

    // Controls.
    QWidget *m_central = nullptr;
    EntryLineWidget *m_entry = nullptr;
    QLabel *lblTotCon = nullptr;
    QLabel *lblTotSec = nullptr;
    QLabel *lblutctime = nullptr;
    QLabel *lblCurTime = nullptr;
    QLabel *Label16 = nullptr;
    QLabel *Label2 = nullptr;   // own call
    QLabel *Label1 = nullptr;   // own state
    QLabel *Label4 = nullptr;   // own 10-10 number
    QLabel *Label12 = nullptr;  // own first name
    QLabel *lblDxHeading = nullptr;  // lblStation(5)
    QLabel *lblAQSO60 = nullptr;
    QLabel *lblAQSO20 = nullptr;
    QLabel *lblTX = nullptr;
    QList<QLabel *> Label10;    // state grid, entries 1..50 at 0..49
    QListWidget *List1 = nullptr;
    QTreeWidget *ListView1 = nullptr;
    QPushButton *cmdList = nullptr;
    QPushButton *cmdEdit = nullptr;
    QPushButton *cmdDelete = nullptr;
    QPushButton *cmdClear = nullptr;
    QPushButton *cmdDup = nullptr;
    QMenu *mnuOptions = nullptr;
    QMenu *mnuTransmit = nullptr;
    QMenu *mnuDXSpottingMenu = nullptr;
    QAction *mnuCW = nullptr;
    QAction *mnuSSB = nullptr;
    QAction *mnuDigital = nullptr;
    QAction *mnuPostContest = nullptr;
    QAction *mnuTaskbar = nullptr;
    QTimer *Timer1 = nullptr;
    QTimer *Timer2 = nullptr;
};

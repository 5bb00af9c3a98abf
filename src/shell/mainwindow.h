#pragma once
#include "core/appfolders.h"
#include "core/logstore.h"
#include "core/preferences.h"
#include "core/prefixtable.h"
#include "ui/keydispatcher.h"

#include <QElapsedTimer>
#include <QList>
#include <QMainWindow>
#include <QPointer>

class Clock;
class RigLink;
struct ReportContext;
class Dialogs;
class SettingsStore;
class SharedPreferences;
class QAction;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QListWidget;
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
    const Preferences &preferences() const { return m_prefs; }
    const PrefixTable &prefixTable() const { return m_prefixes; }
    QString logPath() const;
    bool programEnded() const { return m_programEnded; }
    bool dupeFound() const { return m_dupeFound; }

    // Key preview: subsystems register their keys here (see KeyDispatcher for the orders).
    KeyDispatcher &keys() { return m_keys; }
    // Logs the contact in the entry line as Enter would (the CW "!" mark uses it).
    void logCurrentContact() { Mains(); }

    // Commands reachable from the menus (public so the start-up and tests can run them).
    void mnuopen2();
    void mnuNew_Click();
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
    // The operator moved on from a call that is not a dupe (Space, Tab or a click elsewhere).
    void callFieldLeft(const QString &call);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    // Window construction (mainwindow_layout.cpp).
    void buildControls();
    void buildMenus();
    QLabel *makeLabel(const QString &name, const QString &text, int left, int top, int width,
                      int height);
    QLineEdit *makeField(const QString &name, int left, int top, int width, int height);

    // Entry line (mainwindow_entry.cpp).
    bool handleEntryKey(QLineEdit *field, QKeyEvent *key);
    bool handleCallKey(QKeyEvent *key);
    bool handleCountryKey(QKeyEvent *key);
    void insertTyped(QLineEdit *field, const QString &text);
    void txtCall_Change(const QString &text);
    void txtCntry_Change(const QString &text);
    void lookupCountry(const QString &call);
    void scanPartialDupes(const QString &before, QChar key);
    void thirdCharacterCheck(const QString &before, QChar key);
    void Mains();
    bool frmcmp();
    bool checkStateEntry();
    void dupcheck();
    void clearEntryFields();
    void setStatus(const QString &text, bool dupe = false);
    void setPartialLine(const QString &text);
    void holdKey(QObject *target, QKeyEvent *key);
    void releaseHeldKeys();
    void fieldFocusIn(QLineEdit *field);
    void fieldFocusOut(QLineEdit *field, Qt::FocusReason reason);

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
    ReportContext reportContext() const;
    bool backupBeforeErasing();  // false: contacts on disk and no copy could be made
    void showEditButtons(bool show);

    Form1Services m_services;
    KeyDispatcher m_keys;
    Dialogs &m_dialogs;
    Clock &m_clock;
    LogStore m_log;
    Preferences m_prefs;
    PrefixTable m_prefixes;
    bool m_programEnded = false;
    bool m_loaded = false;

    // Entry state.
    bool m_missingField = false;
    bool m_invalidState = false;
    bool m_dupeFound = false;
    QElapsedTimer m_dupeTime;
    bool m_partialDupes = true;
    bool m_inMains = false;
    bool m_callChecked = false;  // the full dupe check ran as the call field was left
    bool m_replaying = false;
    struct HeldKey {
        QPointer<QObject> target;
        int key;
        Qt::KeyboardModifiers modifiers;
        QString text;
    };
    QList<HeldKey> m_heldKeys;
    QTimer *m_holdTimer = nullptr;

    // Controls.
    QWidget *m_central = nullptr;
    QLineEdit *txtCall = nullptr;
    QLineEdit *txtRSTR = nullptr;
    QLineEdit *txtCntry = nullptr;
    QLineEdit *txtRSTS = nullptr;
    QLineEdit *txtPostConDate = nullptr;
    QLineEdit *txtPostConTime = nullptr;
    QLabel *lblPostConDate = nullptr;
    QLabel *lblPostConTime = nullptr;
    QLabel *lblDialog = nullptr;
    QLabel *lblDupe = nullptr;
    QLabel *Label3 = nullptr;   // "New"
    QLabel *Label19 = nullptr;  // continent
    QLabel *Label22 = nullptr;  // bearing
    QLabel *Label23 = nullptr;  // miles
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
    QList<QLabel *> Label10;    // state grid, entries 1..50 at 0..49
    QListWidget *List1 = nullptr;
    QTreeWidget *ListView1 = nullptr;
    QPushButton *cmdList = nullptr;
    QPushButton *cmdEdit = nullptr;
    QPushButton *cmdDelete = nullptr;
    QPushButton *cmdClear = nullptr;
    QPushButton *cmdDup = nullptr;
    QAction *mnuCW = nullptr;
    QAction *mnuSSB = nullptr;
    QAction *mnuDigital = nullptr;
    QAction *mnuPostContest = nullptr;
    QAction *mnuTaskbar = nullptr;
    QTimer *Timer1 = nullptr;
    QTimer *Timer2 = nullptr;
};

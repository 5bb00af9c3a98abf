#pragma once
#include "core/callhistory.h"
#include "core/supercheck.h"
#include "shell/mainwindow.h"

#include <QObject>
#include <QSet>

#include <memory>

class EntryLineWidget;
class QAction;
class QLabel;
class QThread;

// Check partial, call history and rig control on the main window: the Options menu items, the
// check-partial line and the rig line under the entry line, the pre-fill when the call field is
// left, and following the rig's mode. Each is switched by its own menu item, kept in the
// settings store.
//
// Thread contract: GUI thread; the call history is built on a worker thread of its own and
// handed over through a queued signal.
class ExtrasWiring : public QObject {
    Q_OBJECT

public:
    // Settings store keys ("1" / "0" for the switches).
    static constexpr const char *kCheckPartialKey = "CheckPartial";
    static constexpr const char *kCallHistoryKey = "CallHistory";
    static constexpr const char *kCallHistoryFileKey = "CallHistoryFile";
    static constexpr const char *kRigControlKey = "RigControl";  // "host:port", empty: off
    static constexpr const char *kFollowRigModeKey = "FollowRigMode";
    static constexpr const char *kDefaultRig = "127.0.0.1:4532";
    static constexpr const char *kRigctldKey = "RigctldStart";  // "model serialPort", empty: off

    ExtrasWiring(Form1 &form, const Form1Services &services);
    ~ExtrasWiring() override;

    bool callHistoryReady() const { return m_historyReady; }
    // Builds the call history again (after a new history file was chosen).
    void rebuildCallHistory();

private:
    void buildMenus();
    void loadCheckPartial();
    void showCheckPartial(const QString &call);
    void refreshWorked();
    void prefill(const QString &call);
    void chooseHistoryFile();
    void rigControl();
    void applyRigSetting();
    void startRigctldMenu();
    void applyRigctldSetting();
    void followRigMode(const QString &rigMode);
    bool setting(const char *key, bool defaultOn) const;
    void setSetting(const char *key, bool on);

    Form1 &m_form;
    Form1Services m_services;
    EntryLineWidget *m_entry = nullptr;
    QLabel *m_scpLine = nullptr;
    QLabel *m_rigLine = nullptr;
    QAction *m_checkPartial = nullptr;
    QAction *m_callHistory = nullptr;
    QAction *m_followRig = nullptr;

    SuperCheckPartial m_scp;
    bool m_scpLoaded = false;
    QSet<QString> m_worked;
    int m_workedCount = -1;

    CallHistory m_history;
    bool m_historyReady = false;
    QThread *m_builder = nullptr;
    bool m_rebuildPending = false;
};

// Called once by the main window as it is built.
void wireExtras(Form1 &form, const Form1Services &services);

#pragma once
#include "core/callhistory.h"
#include "shell/mainwindow.h"

#include <QObject>

class EntryLineWidget;
class QAction;
class QThread;

// Options > Call History: when the call field is left, the name, state and number the station
// sent last time (in this log or the earlier logs and history file) are filled in, selected so
// that typing replaces them. Switched by its menu item, kept in the settings store; Options >
// Call History File chooses a "!!Order!!" file.
//
// Thread contract: GUI thread; the history is built on a worker thread of its own and handed
// over through a queued signal.
class CallHistoryWiring : public QObject {
    Q_OBJECT

public:
    static constexpr const char *kSettingKey = "CallHistory";  // "1" / "0"
    static constexpr const char *kFileKey = "CallHistoryFile";

    CallHistoryWiring(Form1 &form, const Form1Services &services);
    ~CallHistoryWiring() override;

    bool ready() const { return m_ready; }
    // Builds the call history again (after a new history file was chosen).
    void rebuild();

private:
    void prefill(const QString &call);
    void chooseFile();

    Form1 &m_form;
    Form1Services m_services;
    EntryLineWidget *m_entry;
    QAction *m_switch;
    CallHistory m_history;
    bool m_ready = false;
    QThread *m_builder = nullptr;
    bool m_rebuildPending = false;
};

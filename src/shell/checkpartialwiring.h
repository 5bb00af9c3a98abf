#pragma once
#include "core/supercheck.h"
#include "shell/mainwindow.h"

#include <QObject>
#include <QSet>

class EntryLineWidget;
class QAction;
class QLabel;

// Options > Check Partial: known calls from MASTER.SCP that contain the call as typed, on a line
// under the entry line, worked ones in brackets. Switched by its menu item, kept in the settings
// store.
//
// Thread contract: GUI thread only.
class CheckPartialWiring : public QObject {
    Q_OBJECT

public:
    static constexpr const char *kSettingKey = "CheckPartial";  // "1" / "0"

    CheckPartialWiring(Form1 &form, const Form1Services &services);

private:
    void load();
    void show(const QString &call);
    void refreshWorked();

    Form1 &m_form;
    AppFolders m_folders;
    EntryLineWidget *m_entry;
    QLabel *m_line;
    QAction *m_switch;
    SuperCheckPartial m_scp;
    bool m_loaded = false;
    QSet<QString> m_worked;
    int m_workedCount = -1;
};

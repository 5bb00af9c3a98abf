#pragma once
#include <QList>
#include <QWidget>

class QSpinBox;
class SettingsStore;

// The function key each step of "Enter Sends Message" plays, for the CW or the phone setup
// window: six boxes kept in the settings store under `key` as they change (0: none).
//
// Thread contract: GUI thread only.
class EnterKeysEditor : public QWidget {
    Q_OBJECT

public:
    EnterKeysEditor(SettingsStore &store, const char *key, QWidget *parent = nullptr);
    // Shows what the settings store holds now.
    void load();

private:
    void save();

    SettingsStore &m_store;
    const char *m_key;
    QList<QSpinBox *> m_boxes;
};

#pragma once
#include <QDialog>

class Dialogs;
class QLabel;
struct Preferences;

// The colours of the state grid: worked and not yet worked. Changes go into the preferences at
// once; the caller saves them and repaints the grid when the window closes.
class Form6 : public QDialog {
    Q_OBJECT
public:
    Form6(Preferences &prefs, Dialogs &dialogs, QWidget *parent = nullptr);

    void cmdWorked_Click();
    void cmdRemaining_Click();
    void cmdDone_Click();

    // True once a colour was changed while the window was open.
    bool changed() const { return m_changed; }

private:
    void showPreview();

    Preferences &m_prefs;
    Dialogs &m_dialogs;
    QLabel *lblWorked;
    QLabel *lblRemaining;
    bool m_changed = false;
};

#pragma once
#include <QDialog>

#include <functional>

class Announcer;
class QRadioButton;

// "Voice Navigation Settings": how much of the entry line is announced (0 off, 1 the call
// field, 2 every field). Clicking an option announces it; Done stores the level through
// `storeLevel` (the main window keeps it in its preferences file).
class BlindFrm : public QDialog {
    Q_OBJECT
public:
    BlindFrm(Announcer &announcer, const QString &workingDir, std::function<int()> level,
             std::function<void(int)> storeLevel, QWidget *parent = nullptr);

    // Shows the window modeless with the stored level selected. The first showing announces
    // that level, as clicking it would.
    void showSettings();
    void Command1_Click();  // Done
    void optionClicked(int level);

private:
    Announcer &m_announcer;
    std::function<int()> m_level;
    std::function<void(int)> m_storeLevel;
    bool m_loaded = false;
    QRadioButton *Option1 = nullptr;
    QRadioButton *Option2 = nullptr;
    QRadioButton *Option3 = nullptr;
};

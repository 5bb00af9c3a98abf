#pragma once
#include <QDialog>

class Dialogs;
class QPlainTextEdit;
class QPushButton;

// The help text beside the program, and the operator's saved copy of it.
namespace helptext {
inline constexpr const char *kHelpFile = "readten.txt";
inline constexpr const char *kSavedFile = "HelpTallis.txt";

// readten.txt from the working directory (any letter case); empty when there is none.
QString load(const QString &workingDir);
// Writes `text` with CR LF line ends to HelpTallis.txt in the working directory.
bool save(const QString &workingDir, const QString &text, QString *error = nullptr);
}  // namespace helptext

// The help page: the help text in an editable box, "Close" hides the window, "Save" keeps the
// box's text in HelpTallis.txt.
class Form5 : public QDialog {
    Q_OBJECT
public:
    Form5(const QString &workingDir, Dialogs &dialogs, QWidget *parent = nullptr);

    void cmdClose_Click();
    void cmdSave_Click();

private:
    QString m_workingDir;
    Dialogs &m_dialogs;
    QPlainTextEdit *Text1;
};

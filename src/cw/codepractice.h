#pragma once
#include <QDialog>
#include <QString>

class CwControl;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QRadioButton;

// "On the Air Code Practice": random groups, pasted or typed text sent through the CW sender,
// one character at a time, each echoed under "Text Sent" once keyed.
//
// Thread contract: GUI thread only.
class frmCodePractice : public QDialog {
    Q_OBJECT
public:
    explicit frmCodePractice(CwControl &control, QWidget *parent = nullptr);

    // `random` returns a number in [0, 1); tests pass their own.
    static QString randomGroups(int groups, int size, bool lettersOnly, double (*random)());

    void cmdGenerate_Click();
    void cmdSend_Click();
    void cmdStop_Click();
    bool sending() const { return m_index >= 0; }

protected:
    void closeEvent(QCloseEvent *event) override;
    void reject() override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void sendNext();
    void onCharKeyed(QChar c, const QString &unsent);

    CwControl &m_control;
    QPlainTextEdit *Text1 = nullptr;
    QPlainTextEdit *Text2 = nullptr;
    QLineEdit *Text5 = nullptr;
    QLineEdit *Text3 = nullptr;
    QLineEdit *Text4 = nullptr;
    QRadioButton *Option1 = nullptr;
    QRadioButton *Option2 = nullptr;
    QLabel *Label8 = nullptr;
    QString PracticeText;
    int m_index = -1;  // the character of Text1 being keyed; -1 when not sending
    bool m_stopping = false;  // Stop pressed: the character being keyed still echoes
};

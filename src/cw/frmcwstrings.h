#pragma once
#include <QDialog>
#include <QList>

class CwControl;
class QLabel;

// "CW Strings": the eleven messages beside their keys; a click sends one. Minimised rather
// than closed. Keys pressed here reach the main window's key preview like any other.
//
// Thread contract: GUI thread only.
class frmCWStrings : public QDialog {
    Q_OBJECT
public:
    explicit frmCWStrings(CwControl &control, QWidget *parent = nullptr);
    void refresh();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    CwControl &m_control;
    QList<QLabel *> m_keys;      // Label1 0..11
    QList<QLabel *> m_messages;  // lblCWString 0..11
};

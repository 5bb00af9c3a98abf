#pragma once
#include <QDialog>
#include <QList>
#include <QStringList>

class QLineEdit;

// A set of function-key messages to edit: one line for each key, F1 first, with a line that
// says what the wildcards do. OK (or Enter) keeps the texts, Cancel (or Esc) leaves them.
//
// Thread contract: GUI thread only.
class MessageEditor : public QDialog {
    Q_OBJECT

public:
    MessageEditor(const QString &title, const QString &hint, const QStringList &messages,
                  QWidget *parent = nullptr);
    QStringList messages() const;

private:
    QList<QLineEdit *> m_lines;  // txtMessage1 ..
};

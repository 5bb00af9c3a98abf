#pragma once
#include "reports/reportcontext.h"

#include <QDialog>

class QLineEdit;
class QRadioButton;
class QPushButton;

// "Print / Write Summary Information": collects the entry details the log does not hold and
// offers the three file writers and the three print jobs.
class Form2 : public QDialog {
    Q_OBJECT
public:
    Form2(const ReportContext &context, QWidget *parent = nullptr);

    reports::ReportFields fields() const;

private:
    QLineEdit *addField(const char *name, const QString &caption, int row, bool quoteFilter, bool capitals);
    QRadioButton *addOption(QWidget *group, const char *name, const QString &caption, int row);
    QPushButton *addButton(const char *name, const QString &caption, int x, int y, int w);
    void load();

    ReportContext m_ctx;
    QRadioButton *m_contest[5] = {};
    QRadioButton *m_entry[3] = {};
    QLineEdit *Text1, *Text2, *Text3, *Text4, *Text5, *Text6, *Text7, *Text8, *Text10, *Text11;
};

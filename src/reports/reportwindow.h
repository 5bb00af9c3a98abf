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
    // Options fill a column of `rows` and go on in the next, `columnWidth` twips apart.
    QRadioButton *addOption(QWidget *group, const char *name, const QString &caption, int index, int rows,
                            int columnWidth);
    QPushButton *addButton(const char *name, const QString &caption, int x, int y, int w);
    void load();

    ReportContext m_ctx;
    static constexpr int kContests = 9;
    static constexpr int kEntryClasses = 6;
    QRadioButton *m_contest[kContests] = {};  // by Contest
    QRadioButton *m_entry[kEntryClasses] = {};  // by EntryClass
    QPushButton *cmdProposed = nullptr;
    reports::Contest m_proposed = reports::Contest::WinterPhone;
    QLineEdit *Text1, *Text2, *Text3, *Text4, *Text5, *Text6, *Text7, *Text8, *Text10, *Text11;
};

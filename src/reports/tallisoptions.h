#pragma once
#include "reports/tallisexport.h"

#include <QDialog>

class Dialogs;
class QLineEdit;
class QRadioButton;

// "Tallis Export Options": power, contest mode and where the 10-10 number goes.
class Form3 : public QDialog {
    Q_OBJECT
public:
    explicit Form3(QWidget *parent = nullptr);
    TallisExport::Options options() const;

private:
    QLineEdit *Text1;
    QRadioButton *Option3, *Option4, *Option1, *Option2;
};

// Shows the dialog; closing it by its frame still exports, with the defaults.
TallisExport::Options askTallisOptions(QWidget *parent, Dialogs &dialogs);

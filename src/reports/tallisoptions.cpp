#include "reports/tallisoptions.h"

#include "ui/keyfilter.h"
#include "ui/formscaler.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace {
void place(QWidget *w, int x, int y, int width, int height)  // twips
{
    w->setGeometry(formscale::rect(x, y, width, height));
}
QRadioButton *option(QWidget *parent, const char *name, const QString &caption, int x, int y)
{
    auto *o = new QRadioButton(caption, parent);
    o->setObjectName(QLatin1String(name));
    place(o, x, y, 1900, 330);
    return o;
}
}  // namespace

Form3::Form3(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("Tallis Export Options"));
    setModal(true);
    // Wide enough for the longer question on one line, with the margin the frames keep.
    place(this, 0, 0, 6900, 3900);

    auto *powerLabel = new QLabel(QStringLiteral("Power:"), this);
    powerLabel->setTextFormat(Qt::PlainText);
    place(powerLabel, 240, 240, 900, 330);
    Text1 = new QLineEdit(QStringLiteral("100"), this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setValidator(new TextFilter(false, Text1));
    place(Text1, 1200, 220, 1200, 330);
    powerLabel->setBuddy(Text1);

    auto *modeGroup = new QGroupBox(QStringLiteral("What is the mode of the contest you are exporting?"), this);
    place(modeGroup, 240, 720, 6420, 900);
    Option3 = option(modeGroup, "Option3", QStringLiteral("CW"), 240, 420);
    Option4 = option(modeGroup, "Option4", QStringLiteral("SSB"), 2400, 420);
    Option3->setChecked(true);

    auto *numberGroup = new QGroupBox(
        QStringLiteral("Put the 10-10 numbers in Tallis's OTHER field or its COMMENTS field?"), this);
    place(numberGroup, 240, 1740, 6420, 900);
    Option1 = option(numberGroup, "Option1", QStringLiteral("Other Field"), 240, 420);
    Option2 = option(numberGroup, "Option2", QStringLiteral("Comments Field"), 2400, 420);
    Option1->setChecked(true);

    auto *write = new QPushButton(QStringLiteral("Write File"), this);
    write->setObjectName(QStringLiteral("Command1"));
    write->setDefault(true);
    place(write, 2550, 2900, 1800, 500);
    connect(write, &QPushButton::clicked, this, &QDialog::accept);
}

TallisExport::Options Form3::options() const
{
    TallisExport::Options o;
    o.power = Text1->text();
    o.cw = Option3->isChecked();
    o.numberInOther = Option1->isChecked();
    return o;
}

TallisExport::Options askTallisOptions(QWidget *parent, Dialogs &dialogs)
{
    Form3 dialog(parent);
    // Scaled to the screen like the report window, centred exactly; then its size stays.
    formscale::resizeFormCentred(&dialog, dialogs);
    dialog.setFixedSize(dialog.size());
    // Closing by the frame unloads the form; what is read afterwards are its load-time values.
    return dialog.exec() == QDialog::Accepted ? dialog.options() : TallisExport::Options{};
}

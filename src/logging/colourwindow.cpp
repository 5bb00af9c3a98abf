#include "logging/colourwindow.h"

#include "core/preferences.h"
#include "platform/dialogs.h"
#include "ui/formscaler.h"
#include "ui/wincolour.h"

#include <QLabel>
#include <QPushButton>

using formscale::px;

Form6::Form6(Preferences &prefs, Dialogs &dialogs, QWidget *parent)
    : QDialog(parent), m_prefs(prefs), m_dialogs(dialogs)
{
    setObjectName(QStringLiteral("Form6"));
    setWindowTitle(QStringLiteral(" Modify Multiplier Color Selections"));
    // Wide enough for "Change \"Remaining\" Color" in the scaled type.
    resize(px(6000), px(4200));

    auto *cmdWorked = new QPushButton(QStringLiteral("Change \"Worked\" Color"), this);
    cmdWorked->setObjectName(QStringLiteral("cmdWorked"));
    cmdWorked->setGeometry(px(300), px(240), px(2580), px(615));
    connect(cmdWorked, &QPushButton::clicked, this, &Form6::cmdWorked_Click);

    auto *cmdRemaining = new QPushButton(QStringLiteral("Change \"Remaining\" Color"), this);
    cmdRemaining->setObjectName(QStringLiteral("cmdRemaining"));
    cmdRemaining->setGeometry(px(3120), px(240), px(2580), px(615));
    connect(cmdRemaining, &QPushButton::clicked, this, &Form6::cmdRemaining_Click);

    auto *lblHeading = new QLabel(QStringLiteral("Appearance of multiplier worked"), this);
    lblHeading->setTextFormat(Qt::PlainText);
    lblHeading->setObjectName(QStringLiteral("lblHeading"));
    lblHeading->setAlignment(Qt::AlignCenter);
    lblHeading->setGeometry(px(300), px(1200), px(5400), px(375));

    QFont previewFont = font();
    previewFont.setBold(true);
    previewFont.setPointSizeF(previewFont.pointSizeF() * 1.5);

    lblWorked = new QLabel(QStringLiteral("Worked"), this);
    lblWorked->setTextFormat(Qt::PlainText);
    lblWorked->setObjectName(QStringLiteral("lblWorked"));
    lblWorked->setAlignment(Qt::AlignCenter);
    lblWorked->setFont(previewFont);
    lblWorked->setGeometry(px(300), px(1680), px(2580), px(495));

    lblRemaining = new QLabel(QStringLiteral("Remaining"), this);
    lblRemaining->setTextFormat(Qt::PlainText);
    lblRemaining->setObjectName(QStringLiteral("lblRemaining"));
    lblRemaining->setAlignment(Qt::AlignCenter);
    lblRemaining->setFont(previewFont);
    lblRemaining->setGeometry(px(3120), px(1680), px(2580), px(495));

    auto *cmdDone = new QPushButton(QStringLiteral("Done"), this);
    cmdDone->setObjectName(QStringLiteral("cmdDone"));
    cmdDone->setGeometry(px(2220), px(3000), px(1560), px(495));
    cmdDone->setDefault(true);
    connect(cmdDone, &QPushButton::clicked, this, &Form6::cmdDone_Click);

    showPreview();
    formscale::resizeFormCentred(this, m_dialogs);
}

void Form6::showPreview()
{
    auto paint = [](QLabel *label, qint32 colour) {
        QPalette pal = label->palette();
        pal.setColor(QPalette::WindowText, wincolour::toQColor(colour));
        label->setPalette(pal);
    };
    paint(lblWorked, m_prefs.workedColour);
    paint(lblRemaining, m_prefs.notWorkedColour);
}

void Form6::cmdWorked_Click()
{
    const QColor c = m_dialogs.chooseColour(this, wincolour::toQColor(m_prefs.workedColour));
    if (!c.isValid())
        return;  // cancelled
    m_prefs.workedColour = wincolour::fromQColor(c);
    m_changed = true;
    showPreview();
}

void Form6::cmdRemaining_Click()
{
    const QColor c = m_dialogs.chooseColour(this, wincolour::toQColor(m_prefs.notWorkedColour));
    if (!c.isValid())
        return;
    m_prefs.notWorkedColour = wincolour::fromQColor(c);
    m_changed = true;
    showPreview();
}

void Form6::cmdDone_Click()
{
    accept();
}

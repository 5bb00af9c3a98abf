#include "cw/frmcwstrings.h"
#include "ui/plaintext.h"
#include "cw/cwcontrol.h"

#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

frmCWStrings::frmCWStrings(CwControl &control, QWidget *parent) : QDialog(parent), m_control(control)
{
    setObjectName(QStringLiteral("frmCWStrings"));
    setWindowTitle(QStringLiteral("CW Strings"));
    auto *grid = new QGridLayout(this);
    for (int i = 0; i < 12; ++i) {
        auto *key = new QLabel(QStringLiteral("F%1").arg(i + 1), this);
        key->setTextFormat(Qt::PlainText);
        key->setObjectName(QStringLiteral("Label1_%1").arg(i));
        auto *message = new QLabel(this);
        message->setTextFormat(Qt::PlainText);
        message->setObjectName(QStringLiteral("lblCWString_%1").arg(i));
        for (QLabel *l : {key, message}) {
            l->installEventFilter(this);
            l->setCursor(Qt::PointingHandCursor);
        }
        grid->addWidget(key, i, 0);
        grid->addWidget(message, i, 1);
        m_keys << key;
        m_messages << message;
    }
    m_messages[11]->setText(QStringLiteral("Keyboard"));
    grid->addWidget(plainLabel(QStringLiteral("Press Ctrl W to Show this form."), this), 12, 0, 1, 2);
    auto *done = new QPushButton(QStringLiteral("Done"), this);
    done->setObjectName(QStringLiteral("cmdDone"));
    done->setAutoDefault(false);
    grid->addWidget(done, 13, 1);
    connect(done, &QPushButton::clicked, this, &QWidget::showMinimized);
}

void frmCWStrings::refresh()
{
    for (int i = 0; i < 11; ++i)
        m_messages[i]->setText(m_control.settings().messages.value(i));
}

void frmCWStrings::showEvent(QShowEvent *event)
{
    refresh();
    QDialog::showEvent(event);
}

bool frmCWStrings::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonPress && m_control.settings().keyingInterface != KeyingInterface::None) {
        auto *label = qobject_cast<QLabel *>(watched);
        qsizetype i = m_keys.indexOf(label);
        if (i < 0)
            i = m_messages.indexOf(label);
        if (i >= 0 && i != 11) {
            m_control.FKeyCW(i == 9 ? FKey::F10 : i == 10 ? FKey::F11 : FKey(int(FKey::F1) + int(i)));
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

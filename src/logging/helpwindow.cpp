#include "logging/helpwindow.h"

#include "core/fieldfile.h"
#include "platform/dialogs.h"
#include "ui/formscaler.h"

#include <QFileInfo>
#include <QPlainTextEdit>
#include <QPushButton>

using formscale::px;

namespace helptext {

QString load(const QString &workingDir)
{
    const QString path = fieldfile::resolvePath(workingDir, QString::fromLatin1(kHelpFile));
    QByteArray bytes;
    if (!QFileInfo::exists(path) || !fieldfile::readFile(path, bytes))
        return QString();
    QString text = fieldfile::decode1252(bytes);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return text;
}

bool save(const QString &workingDir, const QString &text, QString *error)
{
    QString out = text;
    out.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    out.replace(u'\n', QStringLiteral("\r\n"));
    const QString path = fieldfile::resolvePath(workingDir, QString::fromLatin1(kSavedFile));
    return fieldfile::writeFileAtomic(path, fieldfile::encode1252(out), error);
}

}  // namespace helptext

Form5::Form5(const QString &workingDir, Dialogs &dialogs, QWidget *parent)
    : QDialog(parent), m_workingDir(workingDir), m_dialogs(dialogs)
{
    setObjectName(QStringLiteral("Form5"));
    setWindowTitle(QStringLiteral("Help Page"));
    resize(px(9000), px(6600));

    Text1 = new QPlainTextEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setAccessibleName(QStringLiteral("Help text"));
    Text1->setGeometry(px(120), px(120), px(8760), px(5640));
    Text1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    Text1->setPlainText(helptext::load(m_workingDir));

    auto *cmdClose = new QPushButton(QStringLiteral("Close"), this);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));
    cmdClose->setGeometry(px(1800), px(5940), px(2100), px(495));
    connect(cmdClose, &QPushButton::clicked, this, &Form5::cmdClose_Click);

    auto *cmdSave = new QPushButton(QStringLiteral("Save"), this);
    cmdSave->setObjectName(QStringLiteral("cmdSave"));
    cmdSave->setToolTip(QStringLiteral("Save this text as HelpTallis.txt"));
    cmdSave->setGeometry(px(5100), px(5940), px(2100), px(495));
    connect(cmdSave, &QPushButton::clicked, this, &Form5::cmdSave_Click);

    formscale::resizeFormCentred(this, m_dialogs);
}

void Form5::cmdClose_Click()
{
    hide();
}

void Form5::cmdSave_Click()
{
    QString error;
    if (!helptext::save(m_workingDir, Text1->toPlainText(), &error))
        m_dialogs.message(this, error, QStringLiteral("Unable to save HelpTallis.txt"),
                          Dialogs::Buttons::Ok, Dialogs::Icon::Warning);
}

#include "ui/messageeditor.h"

#include "ui/keyfilter.h"
#include "ui/plaintext.h"

#include <QDialogButtonBox>
#include <QFontMetrics>
#include <QFormLayout>
#include <QLineEdit>
#include <QVBoxLayout>

MessageEditor::MessageEditor(const QString &title, const QString &hint, const QStringList &messages, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmMessages"));
    setWindowTitle(title);
    auto *outer = new QVBoxLayout(this);
    QLabel *help = plainLabel(hint, this);
    help->setObjectName(QStringLiteral("lblHint"));
    help->setWordWrap(true);
    outer->addWidget(help);
    auto *form = new QFormLayout;
    for (int i = 0; i < messages.size(); ++i) {
        auto *line = new QLineEdit(messages[i], this);
        line->setObjectName(QStringLiteral("txtMessage%1").arg(i + 1));
        line->setValidator(new TextFilter(false, line));
        // Room for a whole message as the operator usually writes one.
        line->setMinimumWidth(line->fontMetrics().averageCharWidth() * 48);
        // F1 .. F9 take their digit as access key, F10 its 0.
        const QString key = QString::number(i + 1);
        form->addRow(QStringLiteral("F") + key.chopped(1) + u'&' + key.right(1) + u':', line);
        m_lines << line;
    }
    outer->addLayout(form);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    outer->addWidget(buttons);
}

QStringList MessageEditor::messages() const
{
    QStringList texts;
    for (const QLineEdit *line : m_lines)
        texts << line->text();
    return texts;
}

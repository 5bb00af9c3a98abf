#pragma once
#include <QString>

// Tool tips treat text that looks like markup as rich text (and a rich text's image is read
// from the file it names): text from a peer, a file or the operator goes through this, so it is
// shown as the characters it is.
inline QString plainToolTip(const QString &text)
{
    if (text.isEmpty())
        return text;
    return QStringLiteral("<p style='white-space:pre'>") + text.toHtmlEscaped() + QStringLiteral("</p>");
}

#include <QLabel>

// A label that shows its text as written, whatever it holds.
inline QLabel *plainLabel(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setTextFormat(Qt::PlainText);
    label->setText(text);
    return label;
}

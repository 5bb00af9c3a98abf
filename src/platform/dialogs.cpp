#include "platform/dialogs.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>

namespace {
// Message boxes wrap only at blanks: a long path or address would make the box wider than the
// screen. Such a word may break after a slash, a backslash or a dot.
QString breakLongWords(const QString &text)
{
    constexpr int kLongWord = 40;
    QString out;
    int run = 0;
    for (const QChar c : text) {
        out += c;
        run = c.isSpace() ? 0 : run + 1;
        if (run >= kLongWord && (c == u'/' || c == u'\\' || c == u'.' || run >= 2 * kLongWord)) {
            out += QChar(0x200B);  // zero-width space: a place to wrap, drawn as nothing
            run = 0;
        }
    }
    return out;
}
}  // namespace

Dialogs::Answer QtDialogs::message(QWidget *parent, const QString &text, const QString &title,
                                   Buttons buttons, Icon icon)
{
    QMessageBox box(parent);
    box.setWindowTitle(title);
    // What a message says may come from a file or a peer: shown as written, never as markup.
    box.setTextFormat(Qt::PlainText);
    box.setText(breakLongWords(text));
    switch (icon) {
    case Icon::None: box.setIcon(QMessageBox::NoIcon); break;
    case Icon::Information: box.setIcon(QMessageBox::Information); break;
    case Icon::Question: box.setIcon(QMessageBox::Question); break;
    case Icon::Warning: box.setIcon(QMessageBox::Warning); break;
    case Icon::Critical: box.setIcon(QMessageBox::Critical); break;
    }
    switch (buttons) {
    case Buttons::Ok: box.setStandardButtons(QMessageBox::Ok); break;
    case Buttons::OkCancel: box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel); break;
    case Buttons::YesNo: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No); break;
    case Buttons::YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        break;
    }
    switch (box.exec()) {
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::No: return Answer::No;
    case QMessageBox::Cancel: return Answer::Cancel;
    default: return Answer::Ok;
    }
}

QString QtDialogs::input(QWidget *parent, const QString &prompt, const QString &title,
                         const QString &defaultAnswer)
{
    QInputDialog box(parent);
    box.setWindowTitle(title);
    box.setLabelText(prompt);
    box.setTextValue(defaultAnswer);
    // A long prompt wraps instead of stretching the box past the screen's edge.
    if (auto *label = box.findChild<QLabel *>()) {
        label->setTextFormat(Qt::PlainText);
        label->setWordWrap(true);
        const int line = label->fontMetrics().horizontalAdvance(prompt);
        label->setMinimumWidth(std::min(label->fontMetrics().averageCharWidth() * 55, line));
    }
    return box.exec() == QDialog::Accepted ? box.textValue() : QString();
}

QString QtDialogs::openFile(QWidget *parent, const QString &title, const QString &folder,
                            const QString &filter)
{
    return QFileDialog::getOpenFileName(parent, title, folder, filter);
}

QString QtDialogs::saveFile(QWidget *parent, const QString &title, const QString &proposedPath,
                            const QString &filter)
{
    return QFileDialog::getSaveFileName(parent, title, proposedPath, filter);
}

QString QtDialogs::chooseFolder(QWidget *parent, const QString &title, const QString &folder)
{
    return QFileDialog::getExistingDirectory(parent, title, folder);
}

QColor QtDialogs::chooseColour(QWidget *parent, const QColor &initial)
{
    return QColorDialog::getColor(initial, parent);
}

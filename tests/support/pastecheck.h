#pragma once
// Pastes text the files cannot hold into every line edit of a window and checks what stays.
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QTest>

namespace pastecheck {

// A double quote, a line break, a tab, a Ctrl-Z, Greek and Cyrillic letters (outside
// Windows-1252) around letters the files can hold, including the euro sign (in the code page).
inline QString hostileText()
{
    return QString::fromUtf8("o\"NE\r\nIL\t\x1A\xCE\xA9\xD0\x96\xD0\x9E\xE2\x82\xAC");
}

// Every line edit under `window`: pasted text keeps only what a file can hold.
inline void everyFieldRefusesUnstorableText(QWidget *window)
{
    const auto edits = window->findChildren<QLineEdit *>();
    QVERIFY(!edits.isEmpty());
    for (QLineEdit *edit : edits) {
        edit->clear();
        QGuiApplication::clipboard()->setText(hostileText());
        edit->paste();
        const QString text = edit->text();
        for (QChar c : text) {
            QVERIFY2(c != u'"' && c.unicode() >= 0x20 && c.unicode() != 0x3A9 && c.unicode() != 0x416,
                     qPrintable(edit->objectName() + ": " + text));
        }
    }
}

}  // namespace pastecheck

#include "ui/fieldkeys.h"

#include "core/fieldfile.h"
#include "ui/keyfilter.h"

#include <QKeyEvent>
#include <QLineEdit>

namespace fieldkeys {

namespace {
bool inRange(char16_t c, char16_t low, char16_t high) { return c >= low && c <= high; }
QChar upper(QChar key)
{
    const char16_t c = key.unicode();
    return inRange(c, u'a', u'z') ? QChar(char16_t(c - 32)) : key;
}
}  // namespace

QChar filter(Rule rule, QChar key)
{
    const char16_t c = key.unicode();
    if (c == u'\b' || c == u'\t')
        return key;
    // Whatever the field, a character the file cannot hold never gets in.
    if (!fieldfile::canHold(key))
        return QChar();
    switch (rule) {
    case Rule::Capital:
        return upper(key);
    case Rule::Cap3:
        return c == u'"' ? QChar() : upper(key);
    case Rule::Cap3NoSpace:
        return (c == u'"' || c == u' ') ? QChar() : upper(key);
    case Rule::NoQuote:
        return c == u'"' ? QChar() : key;
    case Rule::DateChars:
        return (c == u'/' || inRange(c, u'0', u'9')) ? key : QChar();
    case Rule::TimeChars:
        return (c == u':' || inRange(c, u'0', u'9')) ? key : QChar();
    case Rule::Digits:
        return inRange(c, u'0', u'9') ? key : QChar();
    case Rule::OffsetChars:
        return inRange(c, u'.', u'9') ? key : QChar();
    case Rule::CoordinateChars:
        return inRange(c, u'-', u'9') ? key : QChar();
    }
    return key;
}

QChar typedChar(const QKeyEvent *event)
{
    if (event->key() == Qt::Key_Backspace)
        return QChar(u'\b');
    const QString text = event->text();
    return text.size() == 1 ? text[0] : QChar();
}

bool apply(QLineEdit *edit, QKeyEvent *event, Rule rule)
{
    if (event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab)
        return false;
    const QChar key = typedChar(event);
    if (key.isNull())
        return false;
    const QChar out = filter(rule, key);
    if (out.isNull())
        return true;
    if (out == key)
        return false;
    edit->insert(QString(out));
    return true;
}

int insertionPoint(const QLineEdit *edit)
{
    return edit->hasSelectedText() ? edit->selectionStart() : edit->cursorPosition();
}

void showCompletion(QLineEdit *edit, const QString &typed, const QString &name)
{
    const QString rest = name.mid(typed.size());
    edit->setText(typed + rest);
    // A negative length selects backwards, leaving the caret right after what was typed.
    edit->setSelection(int(typed.size() + rest.size()), -int(rest.size()));
}

void guardTextFields(QWidget *root, const QStringList &capitals)
{
    for (QLineEdit *edit : root->findChildren<QLineEdit *>()) {
        if (!edit->validator())
            edit->setValidator(new TextFilter(capitals.contains(edit->objectName()), edit));
    }
}

}  // namespace fieldkeys

#pragma once
#include <QChar>
#include <QStringList>

class QKeyEvent;
class QLineEdit;
class QWidget;

// Per-field key filters of the entry and setup windows. A filter sees each typed character (as
// a key press that produces text) and types it, types it changed, or drops it. Keys that type
// nothing (arrows, Delete, Home) and Tab always pass.
namespace fieldkeys {

enum class Rule {
    Capital,          // a-z typed as A-Z
    Cap3,             // double quote dropped, a-z typed as A-Z
    Cap3NoSpace,      // Cap3, and the space dropped too (calls, first names)
    NoQuote,          // double quote dropped
    DateChars,        // only Backspace, "/" and the digits
    TimeChars,        // only Backspace, the digits and ":"
    Digits,           // only Backspace and the digits
    OffsetChars,      // only Backspace and "." to "9" (".", "/", digits): no minus sign
    CoordinateChars,  // only Backspace and "-" to "9" ("-", ".", "/", digits)
};

// The character to type for `key` under `rule`, or a null QChar to drop it.
QChar filter(Rule rule, QChar key);

// Applies `rule` to a key press bound for `edit`. True when the event was taken (dropped, or
// typed changed); false when the line edit should handle it as usual.
bool apply(QLineEdit *edit, QKeyEvent *event, Rule rule);

// The typed character of a key press, or a null QChar for keys that type nothing.
QChar typedChar(const QKeyEvent *event);

// Where typed text goes: the start of the selection, else the caret.
int insertionPoint(const QLineEdit *edit);

// Country completion shared by the windows: shows `typed` + the rest of `name` with the rest
// selected and the caret after `typed`, so the next key replaces the proposal.
void showCompletion(QLineEdit *edit, const QString &typed, const QString &name);

// Puts a TextFilter (ui/keyfilter.h) on every line edit under `root` that has no validator of
// its own yet, so pasted text meets the rules typed text does: nothing the files cannot hold.
// `capitals` names the fields whose letters are typed as capitals.
void guardTextFields(QWidget *root, const QStringList &capitals = {});

}  // namespace fieldkeys

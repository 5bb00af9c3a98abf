#pragma once
#include <QString>
#include <QStringList>

// A phone message that says the contact's own parts: "$" is the call in the entry line and "#"
// the own 10-10 number, spelt character by character (in letters or the phonetic alphabet);
// every other word is said as written. It is put together from the operator's recordings of
// each character and word (A.wav .. Z.wav, 0.wav .. 9.wav, stroke.wav, CQ.wav ... in one folder)
// when there is one for every part, so the voice is the operator's own; otherwise it is
// synthesised whole.
namespace spokenmessage {

// Whether a message text is spoken rather than a recording's file name.
bool isSpoken(const QString &text);

// The parts in order: a character of the call or number ("W", "1", "stroke", or "Whiskey" when
// phonetic) or a word of the text.
QStringList parts(const QString &text, const QString &call, const QString &number, bool phonetic);

// Writes the parts, each from "<folder>/<part>.wav" (any letter case), into one WAV file at
// `wavPath`. False, with the reason, when a recording is missing or the recordings differ in
// format (rate, channels, bits).
bool fromRecordings(const QStringList &parts, const QString &folder, const QString &wavPath, QString *why);

// The text a synthesiser is given: the parts, the spelt ones apart so each is said alone.
QString synthText(const QStringList &parts);

}  // namespace spokenmessage

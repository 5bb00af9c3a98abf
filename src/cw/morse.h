#pragma once
#include <QChar>
#include <QString>

// Morse as key units: "1" is one unit key-down, "0" one unit key-up. A dot is "1", a dash
// "111", elements are parted by "0" and every character ends with "000".
namespace morse {

// The log mark: keys nothing, logs the contact in the entry line when reached.
constexpr QChar kLogMark = QLatin1Char('!');

// The units of one character, upper-cased first; empty for characters with no pattern (and
// for the log mark). A space is the eight-unit word pause.
QString units(QChar c);

// As units(), with the operator's word-space adjustment applied to a space: W > 0 adds W
// key-up units, W < 0 shortens the pause to 8 + W units (never below none).
QString unitsWithWordSpace(QChar c, int wordSpace);

// Characters that have a pattern, for tests and the practice table.
QString knownCharacters();

}  // namespace morse

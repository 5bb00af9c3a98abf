#pragma once
#include <QString>

class LogStore;
class QDate;
class QTime;

// Validation shared by the entry line and the edit window. Pure functions: no widgets, no files.
namespace entryrules {

// A plain decimal number: surrounding blanks ignored, an optional leading "+" or "-", then
// digits with at most one "." (".5" and "5." count, "." alone does not). No exponent, no
// thousands separators, no currency signs: a 10-10 number or an offset is typed as digits.
bool isNumeric(const QString &text);
// Numeric value of `text` (0 when not numeric).
double numericValue(const QString &text);

// The 10-10 field as logged: the text as typed when it is numeric and not zero, else "None".
QString memberNumberOrNone(const QString &text);
// "2" for a numeric 10-10 number, "1" otherwise ("None", letters, empty).
QString pointsFor(const QString &memberNumber);

// Dates an operator types, with a four-digit year so the century is never guessed:
//   year first:  yyyy/m/d  or  yyyy-m-d   (e.g. "2026/12/5", "2026-12-05")
//   month first: m/d/yyyy  or  m-d-yyyy   (e.g. "12/5/2026")
// Month and day take one or two digits; one separator kind per date. Impossible dates
// (month 13, 31 April, 29 February outside leap years) are refused. Blanks around are ignored.
bool isValidDate(const QString &text, QDate *out = nullptr);
// Times of day "h:mm" or "h:mm:ss" on the 24-hour clock, hours and minutes and seconds in one
// or two digits ("9:30", "14:03", "14:03:22"). Blanks around are ignored.
bool isValidTime(const QString &text, QTime *out = nullptr);

// Post-contest time typed as digits: a text of 3 or 4 digits gets a colon before
// its last two digits ("930" -> "9:30", "1403" -> "14:03"); anything else is returned as is.
QString expandTimeDigits(const QString &text);

// True for one of the 50 state abbreviations, ignoring case.
bool isStateAbbreviation(const QString &text);

// The lowest record number whose call equals `call` (ignoring case and surrounding blanks),
// leaving out record `skipRecord`; 0 when there is none.
int findDupe(const LogStore &store, const QString &call, int skipRecord = 0);

}  // namespace entryrules

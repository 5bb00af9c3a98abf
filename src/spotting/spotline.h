#pragma once
#include "spotting/spot.h"

#include <QString>

class PrefixTable;

// A cluster spot line keeps its fields at fixed columns:
//   "DX de W3LPL:     28025.0  K5ABC        comment ...                 1423Z"
// frequency in kHz at 16-24, spotted call at 27-39, the rest a free comment and the time.
struct SpotLine {
    Spot spot;              // call and prefix; the frequency when `hasFrequency`
    bool hasFrequency = false;  // the frequency field is a number of kHz
    QString record;         // the line without its leading "DX ", trimmed; line breaks stay
};

// A spot line from its parts: `frequencyKHz` as received.
SpotLine makeSpotLine(const QString &call, const QString &frequencyKHz, const QString &record);

// `text` without blanks at either end; line breaks and tabs stay.
QString trimBlanks(const QString &text);

// True for lines that begin with "DX" in any case.
bool isSpotLine(const QString &line);
// Cuts the columns out of a line; short lines give empty fields, never an error. A line whose
// columns do not hold a whole call and a number (skimmers and some nodes are a column off) is
// read by its fields instead, and its record laid out in the usual columns.
SpotLine splitSpotLine(const QString &line);

// Letters and digits, with at least one of each, slashes inside: 3 to 15 characters.
bool isCallShaped(const QString &call);

// Band-map prefix of a call: the call up to its last digit (W1AW gives W1), or the designator
// around a slash (KH6/W1AW and W1AW/KH6 give KH6, W1AW/4 gives W4). Under 3 characters: "".
QString CallPrefix(const QString &call);

// Country of a spotted call from the prefix table, "" when no prefix matches. Long KG4 calls
// are stations in the USA, not at Guantanamo Bay.
QString SpotCountry(const PrefixTable &table, const QString &call);

// One row of the DX list, in its column order.
struct DxListRow {
    QString call;
    QString frequency;  // MHz, shortest form
    QString qth;
    QString status;
    QString comments;
    QString prefix;
    QString time;
    QString from;
};

// The DX list row for a spot: `record` is the spot record cut at its first carriage return.
DxListRow makeDxListRow(const Spot &spot, const QString &country, const QString &record);

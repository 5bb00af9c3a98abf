#pragma once
#include <QString>

// The wildcards every keyed message shares, CW or digital: "$" is the call in the entry line
// (trimmed), "#" the sent serial number (none in this contest, so it goes), "*" the report.
// "!" is left in place: whoever sends the message logs the contact where it stands.
namespace messagetext {

QString expand(const QString &message, const QString &call, const QString &report);

}  // namespace messagetext

#pragma once
#include <functional>
#include "core/appfolders.h"
#include "reports/reportconstants.h"
#include "reports/reportdata.h"

#include <QString>

class Clock;
class Dialogs;
class LogStore;
class PrintTarget;
class SettingsStore;
class SharedPreferences;
struct Preferences;

// What the report and export commands read and talk through. The main window fills one in and
// hands it to the entry points; everything it points to outlives the call.
class PrefixTable;

struct ReportContext {
    const LogStore *log = nullptr;
    const Preferences *prefs = nullptr;
    AppFolders folders;
    Dialogs *dialogs = nullptr;
    SettingsStore *settings = nullptr;
    SharedPreferences *shared = nullptr;
    const Clock *clock = nullptr;
    QString scoreText;  // the caption of the total-score label
    QString windowTitle = QString::fromLatin1(reports::kMainWindowTitle);
    PrintTarget *printTarget = nullptr;  // null: the print dialog, on the default printer
    const PrefixTable *prefixes = nullptr;  // the call's country for the contest ADIF; none: the typed one
    // Each contact's frequency where one was recorded (0: not known).
    std::function<qint64(const QsoRecord &)> frequencyOf = {};
    // The modem a digital contact was made with, where fldigi said it ("" when not known).
    std::function<QString(const QsoRecord &)> submodeOf = {};

    reports::StationInfo station() const;
};

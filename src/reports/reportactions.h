#pragma once
#include "reports/reportcontext.h"

class QTreeWidget;
class QWidget;

// Entry points for the main window's File menu. Each runs its command to the end (modal
// windows and message boxes included) and returns.
namespace reports {

// "&Print or Write Files": refuses with the setup message while the own call is empty,
// otherwise shows the report window modally.
void openReportWindow(QWidget *parent, const ReportContext &context);

// "Export &ADIF".
void exportAdif(QWidget *parent, const ReportContext &context);
void exportContestAdif(QWidget *parent, const ReportContext &context);

// "&Export for Tallis Import": the options dialog, then "LogExp.txt" in the working directory.
void exportForTallis(QWidget *parent, const ReportContext &context);

// "&Copy Listed Items to Clipboard": the rows shown in the list, tab-separated, as plain text.
// Returns the text put on the clipboard (empty when there was no clipboard).
QString copyListedItems(const QTreeWidget &list);

}  // namespace reports

#pragma once
#include "reports/reportcontext.h"
#include "reports/tallisexport.h"

class QWidget;

// The export commands of the File menu, without their windows.
namespace exportjobs {

// Asks power, comment and the file, then writes every contact as ADIF (asking the digital mode
// designator at the first digital contact). True when the file was written.
bool exportAdif(const ReportContext &ctx, QWidget *parent);
// The ADIF 3.1 contest log: one dialog for its choices (event, power, comment, digital mode),
// then the save dialog.
bool exportContestAdif(const ReportContext &ctx, QWidget *parent);

// Writes "LogExp.txt" in the working directory with the given options and reports the outcome.
bool writeTallisFile(const ReportContext &ctx, QWidget *parent, const TallisExport::Options &options);

QString tallisSuccessMessage(const QString &workingDir);

}  // namespace exportjobs

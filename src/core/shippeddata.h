#pragma once
#include "core/appfolders.h"

#include <QString>
#include <QStringList>

// The data files that come with the program (prefix table, ADIF country table, band plan, ...)
// live in one folder beside it. The program reads its tables from the operator's folders, so at
// start it places a copy of any table it cannot find there.

// The folder holding the shipped data, wherever the program was built or installed:
// $VARDEL_DATA_DIR when set; else <executable dir>/../share/vardel, then the installation's data
// folder, then the source tree's data/ (for a program run from its build folder), the first that
// holds arrlpre2.txt. Empty when none does.
QString shippedDataDir();

// Copies, never over an existing file:
// - arrlpre2.txt into the shared folder when none of the prefix-table search locations (shared
//   folder, product data folder, working directory) holds one; ADIFCnt.txt likewise, on its own
//   search, so an operator's own table in a later location is never shadowed;
// - readten.txt and BandPlan.txt into the working directory when missing there.
// A file absent from the shipped folder is skipped. Returns the paths written; `error` collects
// one line per copy that failed.
QStringList placeShippedData(const AppFolders &folders, QString *error = nullptr);
QStringList placeShippedData(const AppFolders &folders, const QString &sourceDir,
                             QString *error = nullptr);

#pragma once
#include <QStringList>

// "vardel export <kind> ...": writes a report or export file without a window, with the same
// bytes the windows write. `args` are the arguments after "export". Errors go to stderr; the
// result is the process exit code (0 written, 1 failed, 2 bad usage).
int runExportCommand(const QStringList &args);

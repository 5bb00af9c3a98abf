#pragma once
#include <QString>

// The help shown in the spotting window's terminal for the chosen source ("None" shows all).
QString spotHelpText(const QString &source);

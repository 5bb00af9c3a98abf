// Temporary: only the country completion, until the full prefix table lands.
#include "logging/prefixtable.h"

int PrefixTable::completeCountry(const QString &typed) const
{
    for (int n = count(); n >= 1; --n)
        if (row(n).country.startsWith(typed, Qt::CaseInsensitive))
            return n;
    return 0;
}

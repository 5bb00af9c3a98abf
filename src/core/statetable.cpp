#include "core/statetable.h"

namespace statetable {

const std::array<StateEntry, kCount> &entries()
{
    static const std::array<StateEntry, kCount> table = {{
        {"CT", "Connecticut"}, {"MA", "Massachusetts"}, {"ME", "Maine"},
        {"NH", "New Hampshire"}, {"RI", "Rhode Island"}, {"VT", "Vermont"},
        {"NY", "New York"}, {"NJ", "New Jersey"}, {"DE", "Delaware"},
        {"PA", "Pennsylvania"}, {"MD", "Maryland"}, {"AL", "Alabama"},
        {"GA", "Georgia"}, {"KY", "Kentucky"}, {"NC", "North Carolina"},
        {"FL", "Florida"}, {"SC", "South Carolina"}, {"TN", "Tennessee"},
        {"VA", "Virginia"}, {"AR", "Arkansas"}, {"LA", "Louisiana"},
        {"MS", "Mississippi"}, {"NM", "New Mexico"}, {"TX", "Texas"},
        {"OK", "Oklahoma"}, {"CA", "California"}, {"HI", "Hawaii"},
        {"AZ", "Arizona"}, {"WA", "Washington"}, {"ID", "Idaho"},
        {"MT", "Montana"}, {"NV", "Nevada"}, {"OR", "Oregon"},
        {"UT", "Utah"}, {"WY", "Wyoming"}, {"AK", "Alaska"},
        {"MI", "Michigan"}, {"OH", "Ohio"}, {"WV", "West Virginia"},
        {"IL", "Illinois"}, {"IN", "Indiana"}, {"WI", "Wisconsin"},
        {"CO", "Colorado"}, {"IA", "Iowa"}, {"KS", "Kansas"},
        {"MN", "Minnesota"}, {"MO", "Missouri"}, {"NE", "Nebraska"},
        {"ND", "North Dakota"}, {"SD", "South Dakota"},
    }};
    return table;
}

QString abbr(int entry) { return QString::fromLatin1(entries().at(entry - 1).abbr); }
QString name(int entry) { return QString::fromLatin1(entries().at(entry - 1).name); }

int find(const QString &qth)
{
    for (int i = 1; i <= kCount; ++i) {
        if (qth.compare(QLatin1String(entries()[i - 1].abbr), Qt::CaseInsensitive) == 0)
            return i;
    }
    return 0;
}

QString callArea(int entry)
{
    static constexpr int firstOfArea[] = {1, 7, 9, 12, 20, 26, 28, 37, 40, 43};
    static constexpr const char *names[] = {"1", "2", "3", "4", "5", "6", "7", "8", "9", "0"};
    int area = 0;
    for (int i = 0; i < 10; ++i)
        if (entry >= firstOfArea[i])
            area = i;
    return QString::fromLatin1(names[area]);
}

}  // namespace statetable

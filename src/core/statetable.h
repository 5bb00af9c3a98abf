#pragma once
#include <QString>
#include <array>

struct StateEntry {
    const char *abbr;
    const char *name;
};

// The 50 states in US call-area order; entry numbers are 1-based as the grid shows them.
namespace statetable {
constexpr int kCount = 50;
constexpr int kHawaii = 27;
constexpr int kAlaska = 36;

const std::array<StateEntry, kCount> &entries();
QString abbr(int entry);  // entry 1..50
QString name(int entry);
// First entry whose abbreviation equals `qth` ignoring case, or 0.
int find(const QString &qth);
// Call area ("1".."9", "0") heading each entry's column group.
QString callArea(int entry);
}  // namespace statetable

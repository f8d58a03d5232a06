#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "ui/RowOrder.h"

// Rows written as letters by row number, row 1 first, a star for a pinned row
// and "_" for an empty filler row: "A B C* D E".
namespace tarnwick::testing {

struct LetterRows {
    std::vector<std::string> bySlot;  // bottom (oldest) row first, star included
    int count() const { return static_cast<int>(bySlot.size()); }

    std::vector<bool> pinnedBySlot() const {
        std::vector<bool> pinned;
        for (const auto& name : bySlot) pinned.push_back(name.back() == '*');
        return pinned;
    }

    // The slot of the row named name, star or not.
    int slotOf(const std::string& name) const {
        for (int s = 0; s < count(); ++s) {
            const auto& row = bySlot[static_cast<std::size_t>(s)];
            if (row == name || row == name + "*") return s;
        }
        return -1;
    }

    int rowOf(const std::string& name) const { return count() - slotOf(name); }
};

inline LetterRows letters(const std::string& byRow) {
    std::istringstream in(byRow);
    LetterRows rows;
    for (std::string name; in >> name;) rows.bySlot.insert(rows.bySlot.begin(), name);
    return rows;
}

inline std::string toString(const LetterRows& rows) {
    std::string out;
    for (auto it = rows.bySlot.rbegin(); it != rows.bySlot.rend(); ++it)
        out += (out.empty() ? "" : " ") + *it;
    return out;
}

// The rows after order, a filler row showing as "_" and a slot out of range as
// "?", so that a wrong order fails the comparison readably.
inline LetterRows applied(const LetterRows& rows, const rows::SlotOrder& order) {
    LetterRows out;
    for (const int old : order) {
        if (old == rows::filler)
            out.bySlot.push_back("_");
        else if (old < 0 || old >= rows.count())
            out.bySlot.push_back("?");
        else
            out.bySlot.push_back(rows.bySlot[static_cast<std::size_t>(old)]);
    }
    return out;
}

}  // namespace tarnwick::testing

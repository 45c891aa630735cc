// Three-way merge of the editor's rows: what the user read, what the user
// made of it and what another user saved meanwhile.
#include "navigation/DocumentMerge.h"

#include "platform/Cp1250.h"

#include <algorithm>

namespace quill {
namespace {

// The rows of one side by the key of their unit, in the side's order.
struct KeyedRows {
    std::vector<std::string> keys;
    std::map<std::string, EditorRow> rows;

    void add(std::string key, const EditorRow& row) {
        if (rows.emplace(key, row).second)
            keys.push_back(std::move(key));
    }
    const EditorRow* find(const std::string& key) const {
        const auto found = rows.find(key);
        return found == rows.end() ? nullptr : &found->second;
    }
};

std::string baseKey(std::size_t i) {
    return "#" + std::to_string(i);
}

// Comments have no name: a side's comment is the base comment it was
// aligned with (the longest common sequence of texts, and among the rest,
// a changed comment takes the place of a base comment between the same
// neighbours); the rest were added.
KeyedRows alignComments(const std::vector<EditorRow>& base, const std::vector<EditorRow>& side, const char* sideName) {
    const std::size_t n = base.size(), m = side.size();
    std::vector<std::vector<std::size_t>> common(n + 1, std::vector<std::size_t>(m + 1, 0));
    for (std::size_t i = n; i-- > 0;) {
        for (std::size_t j = m; j-- > 0;) {
            common[i][j] = base[i].value == side[j].value ? common[i + 1][j + 1] + 1
                                                          : std::max(common[i + 1][j], common[i][j + 1]);
        }
    }
    KeyedRows keyed;
    std::vector<std::size_t> gapBase, gapSide;
    const auto closeGap = [&] {
        const std::size_t paired = std::min(gapBase.size(), gapSide.size());
        for (std::size_t k = 0; k < gapSide.size(); ++k) {
            const std::size_t j = gapSide[k];
            keyed.add(k < paired ? baseKey(gapBase[k]) : std::string(sideName) + "+" + std::to_string(j), side[j]);
        }
        gapBase.clear();
        gapSide.clear();
    };
    std::size_t i = 0, j = 0;
    while (i < n || j < m) {
        if (i < n && j < m && base[i].value == side[j].value && common[i][j] == common[i + 1][j + 1] + 1) {
            closeGap();
            keyed.add(baseKey(i), side[j]);
            ++i;
            ++j;
        } else if (j < m && (i == n || common[i][j + 1] >= common[i + 1][j])) {
            gapSide.push_back(j++);
        } else {
            gapBase.push_back(i++);
        }
    }
    closeGap();
    return keyed;
}

KeyedRows keyRows(EditorBranch branch, const std::vector<EditorRow>& rows, const std::vector<EditorRow>& base,
                  const char* sideName) {
    if (branch == EditorBranch::Comments)
        return alignComments(base, rows, sideName);
    KeyedRows keyed;
    for (const EditorRow& row : rows)
        keyed.add(branch == EditorBranch::Properties ? cp1250::upper(row.field) : row.path, row);
    return keyed;
}

bool same(const EditorRow* a, const EditorRow* b) {
    return (!a && !b) || (a && b && *a == *b);
}

std::string labelOf(EditorBranch branch, const EditorRow& row) {
    return branch == EditorBranch::Attachments ? row.value : row.label;
}

// The schedule is one unit: its rows change together.
BranchMerge mergeSchedule(const std::vector<EditorRow>& base, const std::vector<EditorRow>& mine,
                          const std::vector<EditorRow>& theirs, const MergeChoices& choices) {
    BranchMerge merge;
    if (mine == theirs || theirs == base) {
        merge.rows = mine;
    } else if (mine == base) {
        merge.rows = theirs;
        merge.takenFromTheirs.push_back("schedule");
    } else if (const auto chosen = choices.find(conflictKey(EditorBranch::Schedule, "")); chosen != choices.end()) {
        merge.rows = chosen->second == MergeChoice::Theirs ? theirs : mine;
    } else {
        // One row stands for the whole schedule in the question: its date.
        const auto dateRow = [](const std::vector<EditorRow>& rows) -> std::optional<EditorRow> {
            for (const EditorRow& row : rows) {
                if (row.kind == PropertyKind::Date)
                    return row;
            }
            return rows.empty() ? std::nullopt : std::optional<EditorRow>(rows.front());
        };
        merge.conflicts.push_back({EditorBranch::Schedule, conflictKey(EditorBranch::Schedule, ""), "schedule",
                                   dateRow(mine), dateRow(theirs)});
        merge.rows = mine;
    }
    return merge;
}

} // namespace

std::string conflictKey(EditorBranch branch, std::string_view unit) {
    return std::to_string(static_cast<int>(branch)) + ":" + std::string(unit);
}

BranchMerge mergeBranch(EditorBranch branch, const std::vector<EditorRow>& base, const std::vector<EditorRow>& mine,
                        const std::vector<EditorRow>& theirs, const MergeChoices& choices) {
    if (branch == EditorBranch::Schedule)
        return mergeSchedule(base, mine, theirs, choices);
    const KeyedRows b = keyRows(branch, base, base, "base");
    const KeyedRows m = keyRows(branch, mine, base, "mine");
    const KeyedRows t = keyRows(branch, theirs, base, "theirs");

    // Fields keep the order the user sees; listed units keep the base's
    // order, then what the other user added, then the user's additions.
    std::vector<std::string> order;
    const auto addOrder = [&](const std::vector<std::string>& keys) {
        for (const std::string& key : keys) {
            if (std::find(order.begin(), order.end(), key) == order.end())
                order.push_back(key);
        }
    };
    if (branch == EditorBranch::Properties)
        addOrder(m.keys);
    addOrder(b.keys);
    addOrder(t.keys);
    addOrder(m.keys);

    BranchMerge merge;
    for (const std::string& key : order) {
        const EditorRow* was = b.find(key);
        const EditorRow* my = m.find(key);
        const EditorRow* their = t.find(key);
        const EditorRow* taken = nullptr;
        if (same(my, their) || same(their, was)) {
            taken = my;
        } else if (same(my, was)) {
            taken = their;
            const EditorRow* named = their ? their : was;
            merge.takenFromTheirs.push_back(labelOf(branch, *named));
        } else {
            const bool text = branch == EditorBranch::Comments ||
                              (branch == EditorBranch::Properties && my && their && !isYesNoKind(my->kind));
            const auto chosen = choices.find(conflictKey(branch, key));
            if (chosen == choices.end()) {
                const EditorRow& named = my ? *my : their ? *their : *was;
                merge.conflicts.push_back({branch, conflictKey(branch, key), labelOf(branch, named),
                                           my ? std::optional(*my) : std::nullopt,
                                           their ? std::optional(*their) : std::nullopt, text && my && their});
                taken = my;
            } else if (chosen->second == MergeChoice::Theirs) {
                taken = their;
            } else {
                taken = my;
                if (chosen->second == MergeChoice::Both && their && my) {
                    if (branch == EditorBranch::Comments)
                        merge.rows.push_back(*their);
                    else if (branch == EditorBranch::Properties)
                        merge.extraComments.push_back(*their);
                }
            }
        }
        if (taken)
            merge.rows.push_back(*taken);
    }
    return merge;
}

} // namespace quill

#pragma once

#include "navigation/DocumentMerge.h"

#include <QDialog>

#include <vector>

class QButtonGroup;

namespace quill {
class Session;
}

namespace quill::ui {

// Asks, for each unit that the user and another user changed differently,
// which version stays: both values side by side, with "keep mine", "keep
// theirs" and, for a text, "keep both". Nothing else is asked: what only
// one side changed is merged without a question.
class MergeConflictView final : public QDialog {
    Q_OBJECT
public:
    MergeConflictView(Session& session, const std::vector<MergeConflict>& conflicts, QWidget* parent = nullptr);

    // Shows the question; the choices, by conflict key, once the user
    // confirmed them; nothing when the user cancelled.
    std::optional<MergeChoices> ask();

private:
    const std::vector<MergeConflict>& conflicts_;
    std::vector<QButtonGroup*> choices_;
};

} // namespace quill::ui

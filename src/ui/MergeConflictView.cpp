#include "MergeConflictView.h"

#include "QtText.h"
#include "ViewSupport.h"

#include "session/Session.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QVBoxLayout>

namespace quill::ui {
namespace {

QString shownValue(Session& session, const std::optional<EditorRow>& row) {
    return row ? toQt(row->value) : languageText(session, "MERGE_FORM", "DELETED");
}

} // namespace

MergeConflictView::MergeConflictView(Session& session, const std::vector<MergeConflict>& conflicts, QWidget* parent)
    : QDialog(parent), conflicts_(conflicts) {
    setObjectName("MergeConflictView");
    setWindowTitle(languageText(session, "MERGE_FORM", "TITLE"));
    auto* layout = new QVBoxLayout(this);
    auto* intro = new QLabel(languageText(session, "MERGE_FORM", "LABEL1"), this);
    intro->setWordWrap(true);
    layout->addWidget(intro);

    auto* units = new QWidget(this);
    auto* unitsLayout = new QVBoxLayout(units);
    for (const MergeConflict& conflict : conflicts_) {
        auto* box = new QGroupBox(toQt(conflict.label), units);
        box->setAccessibleName(toQt(conflict.label));
        auto* grid = new QGridLayout(box);
        const auto addSide = [&](int column, const char* key, const std::optional<EditorRow>& row) {
            auto* heading = new QLabel("<b>" + languageText(session, "MERGE_FORM", key).toHtmlEscaped() + "</b>", box);
            auto* value = new QLabel(shownValue(session, row), box);
            value->setWordWrap(true);
            value->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
            value->setFrameShape(QFrame::StyledPanel);
            grid->addWidget(heading, 0, column);
            grid->addWidget(value, 1, column);
        };
        addSide(0, "MINE", conflict.mine);
        addSide(1, "THEIRS", conflict.theirs);
        auto* group = new QButtonGroup(box);
        auto* row = new QHBoxLayout;
        const auto addChoice = [&](const char* key, MergeChoice choice) {
            auto* button = new QRadioButton(languageText(session, "MERGE_FORM", key), box);
            button->setObjectName(key);
            group->addButton(button, static_cast<int>(choice));
            row->addWidget(button);
            return button;
        };
        addChoice("KEEP_MINE", MergeChoice::Mine)->setChecked(true);
        addChoice("KEEP_THEIRS", MergeChoice::Theirs);
        if (conflict.bothPossible)
            addChoice("KEEP_BOTH", MergeChoice::Both);
        row->addStretch();
        grid->addLayout(row, 2, 0, 1, 2);
        choices_.push_back(group);
        unitsLayout->addWidget(box);
    }
    unitsLayout->addStretch();
    auto* scroll = new QScrollArea(this);
    scroll->setWidgetResizable(true);
    scroll->setWidget(units);
    layout->addWidget(scroll, 1);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* save = buttons->addButton(languageText(session, "MERGE_FORM", "SAVE"), QDialogButtonBox::AcceptRole);
    save->setObjectName("Save");
    save->setDefault(true);
    buttons->addButton(QDialogButtonBox::Cancel)->setObjectName("Cancel");
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

std::optional<MergeChoices> MergeConflictView::ask() {
    if (exec() != QDialog::Accepted)
        return std::nullopt;
    MergeChoices chosen;
    for (std::size_t i = 0; i < conflicts_.size(); ++i)
        chosen[conflicts_[i].key] = static_cast<MergeChoice>(choices_[i]->checkedId());
    return chosen;
}

} // namespace quill::ui

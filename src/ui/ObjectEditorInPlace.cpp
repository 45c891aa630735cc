// The object editor's in-place editors: the control a row's kind calls for,
// laid into the value cell, and what committing it sets.
#include "ObjectEditorView.h"

#include "FailureMessage.h"
#include "QtText.h"
#include "ResourcesView.h"
#include "TypedText.h"
#include "UsersView.h"
#include "ViewSupport.h"

#include "platform/DateTimeFormat.h"
#include "session/Session.h"

#include <QCalendarWidget>
#include <QComboBox>
#include <QCompleter>
#include <QDateEdit>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QLocale>
#include <QTimeEdit>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>

#include <algorithm>

namespace quill::ui {

namespace {

// A refusal the user has been told of already: committing it shows nothing
// more.
Status shownRefusal() {
    return Status::failure({});
}

// The pickers' width, as the editor has always had them.
constexpr int kPickerWidth = 150;

// A picker of its fixed width at the left of the value cell.
QWidget* leftAligned(QWidget* picker, QWidget* beside = nullptr) {
    auto* cell = new QWidget;
    auto* layout = new QHBoxLayout(cell);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(picker);
    if (beside)
        layout->addWidget(beside);
    layout->addStretch();
    return cell;
}

// As wide as the longest date of its format: the names of months and
// weekdays differ in length, and a date cut short is misread.
int widthForEveryDate(const QDateEdit* picker) {
    const QFontMetrics metrics(picker->font());
    const QLocale locale = picker->locale();
    const QString format = picker->displayFormat();
    const auto textWidth = [&](QDate date) { return metrics.horizontalAdvance(locale.toString(date, format)); };
    int widest = 0;
    for (int month = 1; month <= 12; ++month) {
        for (int day = 22; day <= 28; ++day) // every weekday, two-digit days
            widest = std::max(widest, textWidth(QDate(2027, month, day)));
    }
    // The picker's own hint measures its frame and button around the
    // texts of its first and last dates.
    const int hinted = std::max(textWidth(picker->minimumDate()), textWidth(picker->maximumDate()));
    return picker->sizeHint().width() + std::max(widest - hinted, 0);
}

} // namespace

std::function<Status()> ObjectEditorView::typedText(QComboBox* box, EditorBranch branch, std::size_t row) {
    // What the user chose or typed is kept in the text cache for next time.
    return [this, box, branch, row] {
        const QString text = box->currentText();
        const auto stored = storableText(session_, this, text);
        if (!stored)
            return shownRefusal();
        const Status set = model_.setValue(branch, row, *stored);
        if (set)
            rememberText(session_, text);
        return set;
    };
}

void ObjectEditorView::showEditor(QWidget* editor, QWidget* focus) {
    QTreeWidgetItem* item = tree_->currentItem();
    editor_ = editor;
    editor->setAutoFillBackground(true);
    tree_->setItemWidget(item, 1, editor);
    // Enter and Escape are caught wherever the focus is inside the editor.
    editor->installEventFilter(this);
    for (QWidget* child : editor->findChildren<QWidget*>())
        child->installEventFilter(this);
    focus->setFocus();
}

void ObjectEditorView::closeEditor() {
    if (!editor_)
        return;
    QWidget* editor = editor_;
    editor_ = nullptr;
    editing_.reset();
    commit_ = nullptr;
    for (int i = 0; i < tree_->topLevelItemCount(); ++i) {
        QTreeWidgetItem* top = tree_->topLevelItem(i);
        for (int j = 0; j < top->childCount(); ++j) {
            if (tree_->itemWidget(top->child(j), 1) == editor)
                tree_->removeItemWidget(top->child(j), 1);
        }
    }
    tree_->viewport()->update();
}

bool ObjectEditorView::commitEdit() {
    if (!editor_ || !commit_ || !editing_)
        return true;
    const RowRef ref = *editing_;
    const Status status = commit_();
    if (!status) {
        // An empty message means the refusal was shown already.
        if (!status.message().empty())
            reportFailure(session_, status, "GUI_FORM", 13, MessageKind::Warning);
        return false;
    }
    // The shown value follows without rebuilding the tree, which would
    // move the focus the user just gave.
    const auto& rows = model_.rows(ref.branch);
    for (int i = 0; i < tree_->topLevelItemCount(); ++i) {
        QTreeWidgetItem* top = tree_->topLevelItem(i);
        for (int j = 0; j < top->childCount(); ++j) {
            QTreeWidgetItem* item = top->child(j);
            const auto itemRef = refOf(item);
            if (itemRef && itemRef->branch == ref.branch && itemRef->row == ref.row &&
                ref.row < static_cast<int>(rows.size()))
                item->setText(1, toQt(rows[ref.row].value));
        }
    }
    // The first property may have taken an attachment's name.
    if (ref.branch != EditorBranch::Properties && tree_->topLevelItemCount() > 0 &&
        tree_->topLevelItem(0)->childCount() > 0 && !model_.rows(EditorBranch::Properties).empty())
        tree_->topLevelItem(0)->child(0)->setText(1, toQt(model_.rows(EditorBranch::Properties)[0].value));
    return true;
}

void ObjectEditorView::startEdit() {
    const auto ref = refOf(tree_->currentItem());
    if (!ref || ref->row < 0)
        return;
    closeEditor();
    const EditorRow row = model_.rows(ref->branch)[ref->row];
    const KindEditor editor = editorOf(row.kind);
    const EditorBranch branch = ref->branch;
    const std::size_t index = static_cast<std::size_t>(ref->row);

    if (editor == KindEditor::UserPicker) {
        pickUsers(*ref);
        return;
    }
    if (editor == KindEditor::ImagePicker) {
        pickImage(*ref);
        return;
    }
    editing_ = ref;
    if (editor == KindEditor::FreeText) {
        auto* box = new QComboBox;
        offerTextCache(box, session_);
        box->setEditText(toQt(row.value));
        commit_ = typedText(box, branch, index);
        showEditor(box, box);
        box->lineEdit()->selectAll();
    } else if (editor == KindEditor::YesNoList) {
        auto* box = new QComboBox;
        box->addItems({toQt(model_.yesText()), toQt(model_.noText())});
        box->setCurrentIndex(QString::compare(toQt(row.value), toQt(model_.noText()), Qt::CaseInsensitive) == 0);
        commit_ = typedText(box, branch, index);
        showEditor(box, box);
    } else if (editor == KindEditor::DatePicker) {
        auto* picker = new QDateEdit;
        picker->setCalendarPopup(true);
        picker->setDisplayFormat(QLocale().dateFormat(QLocale::LongFormat));
        picker->setMinimumWidth(widthForEveryDate(picker));
        const auto shown = parseDateTime(row.value, session_.formats.shortDate);
        const LocalDateTime start = shown ? *shown : session_.clock.now();
        picker->setDate(QDate(start.year, start.month, start.day));
        commit_ = [this, picker, branch, index] {
            const QDate date = picker->date();
            return model_.setValue(branch, index,
                                   formatDate(LocalDateTime{date.year(), date.month(), date.day()}, session_.formats));
        };
        // Choosing a day in the drop-down calendar commits it.
        connect(picker->calendarWidget(), &QCalendarWidget::clicked, this, [this] {
            QTimer::singleShot(0, this, [this] {
                if (commitEdit())
                    closeEditor();
            });
        });
        auto* today = new QToolButton;
        today->setObjectName("Today");
        today->setText(languageText(session_, "EDIT_FORM", "TODAY"));
        connect(today, &QToolButton::clicked, this, [this, picker] {
            const LocalDateTime now = session_.clock.now();
            picker->setDate(QDate(now.year, now.month, now.day));
            QTimer::singleShot(0, this, [this] {
                if (commitEdit())
                    closeEditor();
            });
        });
        showEditor(leftAligned(picker, today), picker);
    } else if (editor == KindEditor::TimePicker) {
        auto* picker = new QTimeEdit;
        picker->setDisplayFormat(QStringLiteral("HH:mm"));
        picker->setFixedWidth(kPickerWidth);
        const auto shown = parseTime(row.value, session_.formats);
        const LocalDateTime start = shown ? *shown : session_.clock.now();
        picker->setTime(QTime(start.hour, start.minute));
        commit_ = [this, picker, branch, index] {
            const QTime time = picker->time();
            LocalDateTime value;
            value.hour = time.hour();
            value.minute = time.minute();
            return model_.setValue(branch, index, formatTime(value, session_.formats));
        };
        showEditor(leftAligned(picker), picker);
    } else if (editor == KindEditor::AttachmentType) {
        auto* cell = new QWidget;
        auto* layout = new QHBoxLayout(cell);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(2);
        auto* name = new QComboBox;
        offerTextCache(name, session_);
        name->setEditText(toQt(row.value));
        auto* type = new QComboBox;
        type->addItems({toQt(model_.documentTypeText()), toQt(model_.templateTypeText())});
        type->setCurrentIndex(attachmentTypeOf(row.kind) == AttachmentType::Document ? 0 : 1);
        type->setFixedWidth(kPickerWidth);
        layout->addWidget(name, 1);
        layout->addWidget(type);
        commit_ = [this, name, type, index] {
            const QString text = name->currentText();
            const auto stored = storableText(session_, this, text);
            if (!stored)
                return shownRefusal();
            const Status set = model_.changeAttachment(
                index, *stored, type->currentIndex() == 0 ? AttachmentType::Document : AttachmentType::Template);
            if (set)
                rememberText(session_, text);
            return set;
        };
        showEditor(cell, name);
    } else if (editor == KindEditor::EventList) {
        auto* box = new QComboBox;
        box->setEditable(true);
        box->setInsertPolicy(QComboBox::NoInsert);
        int chosen = 0;
        for (std::size_t i = 0; i < model_.events().size(); ++i) {
            box->addItem(toQt(model_.events()[i].name));
            if (QString::compare(toQt(model_.events()[i].name), toQt(row.value), Qt::CaseInsensitive) == 0)
                chosen = static_cast<int>(i);
        }
        box->completer()->setCaseSensitivity(Qt::CaseInsensitive);
        box->setCurrentIndex(chosen);
        commit_ = [this, box, branch, index] {
            const auto stored = storableText(session_, this, box->currentText());
            return stored ? model_.setValue(branch, index, *stored) : shownRefusal();
        };
        showEditor(box, box);
    } else {
        editing_.reset();
    }
}

void ObjectEditorView::pickUsers(const RowRef& ref) {
    UsersView picker(session_, images_, this);
    const auto chosen = picker.pick(model_.rows(ref.branch)[ref.row].value);
    if (chosen)
        applied(model_.setValue(ref.branch, static_cast<std::size_t>(ref.row), *chosen), ref);
}

void ObjectEditorView::pickImage(const RowRef& ref) {
    ResourcesView picker(session_, images_, this);
    const auto chosen = picker.pick(model_.rows(ref.branch)[ref.row].value);
    if (chosen)
        applied(model_.setValue(ref.branch, static_cast<std::size_t>(ref.row), *chosen), ref);
}

} // namespace quill::ui

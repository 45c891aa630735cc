#include "ObjectEditorView.h"

#include "MergeConflictView.h"

#include "AddFilesView.h"
#include "FailureMessage.h"
#include "ImageLists.h"
#include "OneLineTextView.h"
#include "QtText.h"
#include "ViewSupport.h"

#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "session/Session.h"
#include "session/TextCache.h"
#include "session/FormHelp.h"

#include <QHeaderView>
#include <QTimer>
#include <QLabel>
#include <QHBoxLayout>
#include <QFrame>
#include <QKeyEvent>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QShortcut>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace quill::ui {

namespace {

constexpr int kBranchRole = Qt::UserRole;
constexpr int kRowRole = Qt::UserRole + 1;
// Branch rows stand out on light grey.
const QColor kBranchBackground(224, 224, 224);

constexpr EditorBranch kBranches[] = {EditorBranch::Properties, EditorBranch::Comments, EditorBranch::Attachments,
                                      EditorBranch::Schedule};

// How often an open editor looks whether someone else saved its document.
constexpr int kChangePollMs = 3000;

} // namespace

ObjectEditorView::ObjectEditorView(Session& session, ImageLists& images, QWidget* parent)
    : QDialog(parent), session_(session), images_(images), model_(session), tree_(new QTreeWidget(this)) {
    setObjectName("TEdit_Form");
    setWindowTitle(languageText(session, "EDIT_FORM", "TITLE"));
    const auto popupText = [&session](const char* key) { return languageText(session, "POPUPMENU", key); };

    auto* bar = new QToolBar(this);
    bar->setObjectName("ToolBar");
    bar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    save_ = addToolButton(bar, session, images, 9, "Save");
    close_ = addToolButton(bar, session, images, 10, "Close");
    bar->addSeparator();
    attachments_ = addToolButton(bar, session, images, 11, "Attachments");
    comments_ = addToolButton(bar, session, images, 12, "Comments");
    schedule_ = addToolButton(bar, session, images, 13, "Schedule");
    schedule_->setCheckable(true);
    bar->addSeparator();
    for (int number : {14, 15, 16})
        addToolButton(bar, session, images, number, "Unused")->setEnabled(false);
    bar->addSeparator();
    QAction* help = addToolButton(bar, session, images, 19, "Help");

    auto* attachmentMenu = new QMenu(this);
    attachmentMenu->addAction(popupText("FILEMENU1"), this, [this] { addAttachment(); });
    removeAttachment_ = attachmentMenu->addAction(popupText("FILEMENU2"), this, [this] { removeAttachment(); });
    changeAttachment_ = attachmentMenu->addAction(popupText("FILEMENU3"), this, [this] { changeAttachment(); });
    openAttachment_ = attachmentMenu->addAction(popupText("FILEMENU4"), this, [this] { openAttachment(); });
    auto* commentMenu = new QMenu(this);
    commentMenu->addAction(popupText("COMMENTMENU1"), this, [this] { addComment(); });
    removeComment_ = commentMenu->addAction(popupText("COMMENTMENU2"), this, [this] { removeComment(); });
    for (const auto& [action, menu] : {std::pair{attachments_, attachmentMenu}, std::pair{comments_, commentMenu}}) {
        action->setMenu(menu);
        if (auto* button = qobject_cast<QToolButton*>(bar->widgetForAction(action)))
            button->setPopupMode(QToolButton::MenuButtonPopup);
    }
    connect(save_, &QAction::triggered, this, [this] { save(); });
    connect(close_, &QAction::triggered, this, &QDialog::reject);
    connect(attachments_, &QAction::triggered, this, [this] { addAttachment(); });
    connect(comments_, &QAction::triggered, this, [this] { addComment(); });
    connect(schedule_, &QAction::triggered, this, [this](bool on) { toggleSchedule(on); });
    connect(help, &QAction::triggered, this, [this] { openFormHelp(session_, "EDITFORM_HELPBUTTON"); });
    for (auto key : {Qt::Key_Return, Qt::Key_Enter}) {
        auto* saveKey = new QShortcut(QKeySequence(Qt::CTRL | key), this);
        connect(saveKey, &QShortcut::activated, this, [this] {
            if (save_->isEnabled())
                save();
            else
                reject();
        });
    }

    tree_->setObjectName("EditTree");
    tree_->setColumnCount(2);
    tree_->setHeaderLabels(
        {languageText(session, "EDIT_FORM", "COLUMN1"), languageText(session, "EDIT_FORM", "COLUMN2")});
    tree_->header()->setSectionResizeMode(0, QHeaderView::Interactive);
    tree_->header()->setStretchLastSection(true);
    tree_->setColumnWidth(0, 220);
    tree_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tree_->setIconSize(QSize(16, 16));
    tree_->installEventFilter(this);
    connect(tree_, &QTreeWidget::currentItemChanged, this, [this] { focusChanged(); });
    connect(tree_, &QTreeWidget::itemDoubleClicked, this, [this] { startEdit(); });

    // Shown when someone else saves the document while it is open here.
    changedBar_ = new QFrame(this);
    changedBar_->setObjectName("ChangedBar");
    changedBar_->setFrameShape(QFrame::StyledPanel);
    changedBar_->setBackgroundRole(QPalette::ToolTipBase);
    changedBar_->setAutoFillBackground(true);
    auto* barLayout = new QHBoxLayout(changedBar_);
    changedText_ = new QLabel(changedBar_);
    changedText_->setWordWrap(true);
    auto* show = new QPushButton(languageText(session, "EDIT_FORM", "CHANGED_SHOW"), changedBar_);
    show->setObjectName("ShowChange");
    auto* merge = new QPushButton(languageText(session, "EDIT_FORM", "CHANGED_MERGE"), changedBar_);
    merge->setObjectName("MergeNow");
    barLayout->addWidget(changedText_, 1);
    barLayout->addWidget(show);
    barLayout->addWidget(merge);
    changedBar_->hide();
    connect(show, &QPushButton::clicked, this, [this] { showTheirChange(); });
    connect(merge, &QPushButton::clicked, this, [this] { mergeNow(); });
    changePoll_ = new QTimer(this);
    changePoll_->setInterval(kChangePollMs);
    connect(changePoll_, &QTimer::timeout, this, [this] { lookForTheirChange(); });

    auto* layout = new QVBoxLayout(this);
    layout->setMenuBar(bar);
    layout->addWidget(changedBar_);
    layout->addWidget(tree_);
    resize(640, 560);
    restorePlace(this, session.context.geometry.edit);
}

bool ObjectEditorView::edit(const std::string& documentPath, bool created) {
    savedAs_.clear();
    if (const Status opened = created ? model_.openCreated(documentPath) : model_.open(documentPath); !opened) {
        reportFailure(session_, opened, "SYSTEM_IO", 1, MessageKind::Warning);
        return false;
    }
    schedule_->setChecked(model_.scheduled());
    rebuild(RowRef{EditorBranch::Properties, 0});
    tree_->setFocus();
    changedBar_->hide();
    changePoll_->start();
    const bool saved = exec() == QDialog::Accepted;
    changePoll_->stop();
    return saved;
}

void ObjectEditorView::lookForTheirChange() {
    const std::vector<ForeignChange> changes = model_.changedMeanwhile();
    if (changes.empty()) {
        changedBar_->hide();
        return;
    }
    const ForeignChange& change = changes.front();
    QString text = change.when.empty() || !fs::isRegularFile(model_.documentPath())
                       ? languageText(session_, "EDIT_FORM", "GONE_MEANWHILE")
                       : languageText(session_, "EDIT_FORM", "CHANGED_BY")
                             .replace(QStringLiteral("$WHO$"),
                                      change.who.empty() ? languageText(session_, "EDIT_FORM", "MERGED_SOMEONE")
                                                         : toQt(change.who))
                             .replace(QStringLiteral("$WHEN$"), toQt(change.when));
    changedText_->setText(text);
    changedBar_->findChild<QPushButton*>("MergeNow")->setEnabled(fs::isRegularFile(model_.documentPath()));
    changedBar_->findChild<QPushButton*>("ShowChange")->setEnabled(fs::isRegularFile(model_.documentPath()));
    changedBar_->show();
}

void ObjectEditorView::showTheirChange() {
    MergeTaken taken;
    std::vector<MergeConflict> conflicts;
    if (const Status previewed = model_.previewMerge(taken, conflicts); !previewed) {
        reportFailure(session_, previewed, "SYSTEM_IO", 1);
        return;
    }
    QString text = languageText(session_, "EDIT_FORM", "CHANGED_THEIRS") + " " + takenParts(taken);
    if (!conflicts.empty()) {
        QStringList both;
        for (const MergeConflict& conflict : conflicts)
            both << toQt(conflict.label);
        text += "\n" + languageText(session_, "EDIT_FORM", "CHANGED_BOTH") + " " + both.join(QStringLiteral(", "));
    }
    session_.ui.showMessage(MessageKind::Information, fromQt(text));
}

bool ObjectEditorView::askAboutConflicts() {
    session_.ui.beep();
    const std::optional<MergeChoices> chosen = MergeConflictView(session_, model_.mergeConflicts(), this).ask();
    if (!chosen)
        return false;
    for (const auto& [key, choice] : *chosen)
        model_.settle(key, choice);
    return true;
}

void ObjectEditorView::mergeNow() {
    if (editor_ && !commitEdit())
        return;
    closeEditor();
    Status merged = model_.mergeNow();
    while (!merged && !model_.mergeConflicts().empty()) {
        if (!askAboutConflicts())
            return;
        merged = model_.mergeNow();
    }
    if (!merged) {
        reportFailure(session_, merged);
        return;
    }
    schedule_->setChecked(model_.scheduled());
    rebuild(focused_);
    changedBar_->hide();
}

std::optional<ObjectEditorView::RowRef> ObjectEditorView::refOf(const QTreeWidgetItem* item) {
    if (!item)
        return std::nullopt;
    return RowRef{static_cast<EditorBranch>(item->data(0, kBranchRole).toInt()), item->data(0, kRowRole).toInt()};
}

void ObjectEditorView::rebuild(std::optional<RowRef> focus) {
    closeEditor();
    const QSignalBlocker quiet(tree_);
    tree_->clear();
    QTreeWidgetItem* toFocus = nullptr;
    for (EditorBranch branch : kBranches) {
        if (branch == EditorBranch::Schedule && !model_.scheduled())
            continue;
        const EditorBranchHead head = model_.head(branch);
        auto* top = new QTreeWidgetItem(tree_, {toQt(head.label)});
        top->setIcon(0, images_.treeIcon(head.imageName));
        top->setData(0, kBranchRole, static_cast<int>(branch));
        top->setData(0, kRowRole, -1);
        for (int column = 0; column < 2; ++column)
            top->setBackground(column, kBranchBackground);
        top->setFirstColumnSpanned(false);
        if (focus && focus->branch == branch && focus->row < 0)
            toFocus = top;
        const auto& rows = model_.rows(branch);
        for (std::size_t i = 0; i < rows.size(); ++i) {
            auto* item = new QTreeWidgetItem(top, {toQt(rows[i].label), toQt(rows[i].value)});
            item->setIcon(0, images_.treeIcon(rows[i].imageName));
            item->setData(0, kBranchRole, static_cast<int>(branch));
            item->setData(0, kRowRole, static_cast<int>(i));
            if (focus && focus->branch == branch && focus->row == static_cast<int>(i))
                toFocus = item;
        }
        top->setExpanded(!rows.empty());
    }
    if (!toFocus && tree_->topLevelItemCount() > 0)
        toFocus = tree_->topLevelItem(0);
    tree_->setCurrentItem(toFocus);
    focusChanged();
}

void ObjectEditorView::focusChanged() {
    // Leaving a row commits its open edit as Enter would; a refused value
    // has been reported and is dropped.
    if (editor_)
        commitEdit();
    closeEditor();
    focused_ = refOf(tree_->currentItem());
    const bool onAttachment = focused_ && focused_->branch == EditorBranch::Attachments && focused_->row >= 0;
    const bool onComment = focused_ && focused_->branch == EditorBranch::Comments && focused_->row >= 0;
    removeAttachment_->setEnabled(onAttachment);
    changeAttachment_->setEnabled(onAttachment);
    openAttachment_->setEnabled(onAttachment);
    removeComment_->setEnabled(onComment);
}

bool ObjectEditorView::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress)
        return QDialog::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    const bool enter =
        (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && !(key->modifiers() & Qt::ControlModifier);
    if (watched == tree_) {
        if (enter && !editor_) {
            startEdit();
            return true;
        }
        return QDialog::eventFilter(watched, event);
    }
    // Keys inside an open in-place editor: Enter commits, Escape drops.
    if (editor_ && enter) {
        if (commitEdit())
            closeEditor();
        tree_->setFocus();
        return true;
    }
    if (editor_ && key->key() == Qt::Key_Escape) {
        closeEditor();
        tree_->setFocus();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void ObjectEditorView::applied(const Status& status, const RowRef& ref) {
    if (!status) {
        reportFailure(session_, status, "GUI_FORM", 13, MessageKind::Warning);
        return;
    }
    rebuild(ref);
}

void ObjectEditorView::addAttachment() {
    AddFilesView view(session_, images_, this);
    AttachmentRequest request;
    request.lastTemplateDocument = session_.lastTemplateDocument;
    if (!view.ask(request))
        return;
    const std::string name = fromQt(request.name);
    const Status added = request.alreadyStaged ? model_.attachStagedFile(request.path, name, request.type)
                                               : model_.attachFile(request.path, name, request.type, request.moveFile);
    applied(added, {EditorBranch::Attachments, static_cast<int>(model_.rows(EditorBranch::Attachments).size()) - 1});
}

void ObjectEditorView::removeAttachment() {
    if (!focused_ || focused_->branch != EditorBranch::Attachments || focused_->row < 0)
        return;
    session_.ui.beep();
    const QString question = languageText(session_, "EDIT_FORM", "QUESTION_1", "Questions");
    if (QMessageBox::question(this, windowTitle(), question) != QMessageBox::Yes)
        return;
    applied(model_.removeAttachment(static_cast<std::size_t>(focused_->row)), {EditorBranch::Attachments, -1});
}

void ObjectEditorView::changeAttachment() {
    if (!focused_ || focused_->branch != EditorBranch::Attachments || focused_->row < 0)
        return;
    const RowRef ref = *focused_;
    const EditorRow& row = model_.rows(EditorBranch::Attachments)[ref.row];
    AddFilesView view(session_, images_, this);
    AttachmentRequest request;
    request.changeMode = true;
    request.name = toQt(row.value);
    request.path = row.path;
    request.type = attachmentTypeOf(row.kind);
    if (!view.ask(request))
        return;
    applied(model_.changeAttachment(ref.row, fromQt(request.name), request.type), ref);
}

void ObjectEditorView::openAttachment() {
    if (!focused_ || focused_->branch != EditorBranch::Attachments || focused_->row < 0)
        return;
    const EditorRow& row = model_.rows(EditorBranch::Attachments)[focused_->row];
    std::string file = row.path;
    const std::string& temporary = session_.context.settings.temporaryDirectory;
    // A template is not changed itself: the user gets a copy of it.
    if (attachmentTypeOf(row.kind) == AttachmentType::Template) {
        if (const Status staged = stageAttachment(session_, row.path, file); !staged) {
            reportFailure(session_, staged, "GUI_FORM", 9, MessageKind::Warning);
            return;
        }
    }
    if (!session_.shell.openWithAssociatedProgram(file, {}, temporary))
        session_.warn(MessageKind::Warning, "GUI_FORM", 9, file);
}

void ObjectEditorView::addComment() {
    OneLineTextView view(session_, images_, "ADDCOMMENTS_FORM", this);
    const QString text = view.ask();
    if (text.isEmpty())
        return;
    const Status added = model_.addComment(fromQt(text));
    applied(added, {EditorBranch::Comments, static_cast<int>(model_.rows(EditorBranch::Comments).size()) - 1});
}

void ObjectEditorView::removeComment() {
    if (!focused_ || focused_->branch != EditorBranch::Comments || focused_->row < 0)
        return;
    applied(model_.removeComment(static_cast<std::size_t>(focused_->row)), {EditorBranch::Comments, -1});
}

void ObjectEditorView::toggleSchedule(bool on) {
    model_.setScheduled(on);
    schedule_->setChecked(model_.scheduled());
    rebuild(RowRef{EditorBranch::Schedule, on ? 0 : -1});
}

QString ObjectEditorView::takenParts(const MergeTaken& taken) const {
    QStringList parts;
    for (const std::string& field : taken.fields)
        parts << toQt(field);
    if (taken.comments > 0)
        parts << languageText(session_, "EDIT_FORM", "MERGED_COMMENTS").arg(taken.comments);
    if (taken.attachments > 0)
        parts << languageText(session_, "EDIT_FORM", "MERGED_ATTACHMENTS").arg(taken.attachments);
    if (taken.schedule)
        parts << languageText(session_, "EDIT_FORM", "MERGED_SCHEDULE");
    return parts.join(QStringLiteral(", "));
}

QString ObjectEditorView::mergedText() const {
    const MergeTaken& taken = model_.mergeTaken();
    return languageText(session_, "EDIT_FORM", "MERGED")
        .replace(QStringLiteral("$WHO$"),
                 taken.who.empty() ? languageText(session_, "EDIT_FORM", "MERGED_SOMEONE") : toQt(taken.who))
        .replace(QStringLiteral("$WHEN$"), toQt(taken.when))
        .replace(QStringLiteral("$WHAT$"), takenParts(taken));
}

void ObjectEditorView::save() {
    if (editor_ && !commitEdit())
        return;
    closeEditor();
    std::vector<ForeignChange> changes;
    // Someone else's save meanwhile is merged; only what both changed
    // differently is asked, as often as new collisions come up.
    Status saved = model_.save(ConflictChoice::Merge, &changes, &savedAs_);
    while (!saved && !model_.mergeConflicts().empty()) {
        if (!askAboutConflicts())
            return;
        saved = model_.save(ConflictChoice::Merge, &changes, &savedAs_);
    }
    if (saved && !model_.mergeTaken().empty())
        session_.ui.showMessage(MessageKind::Information, fromQt(mergedText()));
    if (!saved && !changes.empty() && !fs::isRegularFile(model_.documentPath())) {
        // Deleted or moved by someone else meanwhile: saying where, when
        // that can be told, and offering to keep this version as a new
        // document at its old place; nothing comes back unasked.
        QString text = languageText(session_, "EDIT_FORM", "GONE_MEANWHILE");
        if (const std::string where = model_.whereItWent(); !where.empty())
            text += "\n" + languageText(session_, "EDIT_FORM", "GONE_TO") + " " + toQt(where);
        QMessageBox box(QMessageBox::Warning, windowTitle(), text, QMessageBox::NoButton, this);
        box.setObjectName("GoneQuestion");
        QPushButton* again =
            box.addButton(languageText(session_, "EDIT_FORM", "GONE_SAVE_AGAIN"), QMessageBox::AcceptRole);
        box.addButton(QMessageBox::Cancel);
        box.setDefaultButton(again);
        session_.ui.beep();
        box.exec();
        if (box.clickedButton() != again)
            return;
        saved = model_.save(ConflictChoice::Overwrite, nullptr, &savedAs_);
    } else if (!saved && !changes.empty()) {
        // The document cannot be read as it is now: the user decides what
        // becomes of this version.
        QString details;
        for (const ForeignChange& change : changes) {
            details += QStringLiteral("\n%1: %2")
                           .arg(toQt(path::fileName(change.path)),
                                change.when.empty() ? languageText(session_, "EDIT_FORM", "CONFLICT_DELETED")
                                                    : languageText(session_, "EDIT_FORM", "CONFLICT_CHANGED") + " " +
                                                          toQt(change.when));
            if (!change.who.empty())
                details += " " + languageText(session_, "EDIT_FORM", "CONFLICT_BY") + " " + toQt(change.who);
        }
        QMessageBox box(QMessageBox::Warning, windowTitle(),
                        languageText(session_, "EDIT_FORM", "QUESTION_2", "Questions") + "\n" + details,
                        QMessageBox::NoButton, this);
        box.setObjectName("ConflictQuestion");
        QPushButton* overwrite =
            box.addButton(languageText(session_, "EDIT_FORM", "CONFLICT_OVERWRITE"), QMessageBox::DestructiveRole);
        QPushButton* copy =
            box.addButton(languageText(session_, "EDIT_FORM", "CONFLICT_COPY"), QMessageBox::AcceptRole);
        QPushButton* reload =
            box.addButton(languageText(session_, "EDIT_FORM", "CONFLICT_RELOAD"), QMessageBox::RejectRole);
        box.addButton(QMessageBox::Cancel);
        box.setDefaultButton(copy);
        session_.ui.beep();
        box.exec();
        if (box.clickedButton() == reload) {
            if (const Status reloaded = model_.reload(); !reloaded)
                reportFailure(session_, reloaded, "SYSTEM_IO", 1, MessageKind::Warning);
            schedule_->setChecked(model_.scheduled());
            rebuild(focused_);
            return;
        }
        if (box.clickedButton() != overwrite && box.clickedButton() != copy)
            return;
        saved = model_.save(box.clickedButton() == overwrite ? ConflictChoice::Overwrite : ConflictChoice::SaveAsCopy,
                            nullptr, &savedAs_);
    }
    if (!saved) {
        reportFailure(session_, saved);
        return;
    }
    accept();
}

void ObjectEditorView::reject() {
    // A value still being typed counts as changed, as leaving its row would
    // commit it; one that is refused keeps the editor open.
    if (editor_ && !commitEdit())
        return;
    closeEditor();
    if (model_.hasUnsavedChanges()) {
        QMessageBox box(QMessageBox::Question, windowTitle(),
                        languageText(session_, "EDIT_FORM", "QUESTION_3", "Questions"), QMessageBox::NoButton, this);
        box.setObjectName("UnsavedQuestion");
        QPushButton* saveButton =
            box.addButton(languageText(session_, "EDIT_FORM", "CLOSE_SAVE"), QMessageBox::AcceptRole);
        QPushButton* discard =
            box.addButton(languageText(session_, "EDIT_FORM", "CLOSE_DISCARD"), QMessageBox::DestructiveRole);
        QPushButton* cancel =
            box.addButton(languageText(session_, "EDIT_FORM", "CLOSE_CANCEL"), QMessageBox::RejectRole);
        box.setDefaultButton(saveButton);
        box.setEscapeButton(cancel);
        session_.ui.beep();
        box.exec();
        if (box.clickedButton() == saveButton) {
            save(); // closes only once saved
            return;
        }
        if (box.clickedButton() != discard)
            return;
    }
    QDialog::reject();
}

void ObjectEditorView::done(int result) {
    closeEditor();
    if (result != QDialog::Accepted) {
        if (const Status left = model_.leaveUnsaved(); !left)
            reportFailure(session_, left);
    }
    session_.context.geometry.edit = placeOf(this);
    saveTextCache(session_);
    QDialog::done(result);
}

} // namespace quill::ui

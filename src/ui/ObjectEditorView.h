#pragma once

#include "navigation/DocumentEditor.h"

#include <QDialog>

#include <functional>
#include <optional>
#include <string>

class QComboBox;
class QFrame;
class QLabel;
class QTimer;
class QTreeWidget;
class QTreeWidgetItem;

namespace quill {
class Session;
}

namespace quill::ui {

class ImageLists;

// The object editor: a document's properties, comments, attachments and
// schedule as a two-column tree whose values are edited in place; nothing
// reaches the disk before Save.
class ObjectEditorView final : public QDialog {
    Q_OBJECT
public:
    ObjectEditorView(Session& session, ImageLists& images, QWidget* parent = nullptr);

    // Shows the editor on a document; true when it was saved. savedAs()
    // then names the document written. A document just created for the
    // editor (created) is taken away again when the editor closes without
    // saving it.
    bool edit(const std::string& documentPath, bool created = false);
    const std::string& savedAs() const { return savedAs_; }

    QTreeWidget* tree() const { return tree_; }
    // The in-place editor open on the focused row, if any.
    QWidget* openEditor() const { return editor_; }
    QAction* saveAction() const { return save_; }
    // The bar shown when someone else saved the document meanwhile.
    QFrame* changedBar() const { return changedBar_; }
    QAction* attachmentsAction() const { return attachments_; }
    QAction* commentsAction() const { return comments_; }
    QAction* scheduleAction() const { return schedule_; }
    const DocumentEditor& model() const { return model_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Close, Escape and the window's close button: changes not saved are
    // saved, dropped or kept open as the user answers.
    void reject() override;
    void done(int result) override;

private:
    struct RowRef {
        EditorBranch branch;
        int row; // -1 for the branch row itself
    };
    static std::optional<RowRef> refOf(const QTreeWidgetItem* item);
    void rebuild(std::optional<RowRef> focus);
    // What a merging save took from the other user's version, worded in
    // the user's language.
    QString mergedText() const;
    QString takenParts(const MergeTaken& taken) const;
    // The bar that tells of someone else's save while the editor is open.
    void lookForTheirChange();
    void showTheirChange();
    void mergeNow();
    // The question about units both sides changed differently; the choices
    // go to the model. False when the user cancelled.
    bool askAboutConflicts();
    void focusChanged();
    void startEdit();
    bool commitEdit();
    void closeEditor();
    void showEditor(QWidget* editor, QWidget* focus);
    std::function<Status()> typedText(QComboBox* box, EditorBranch branch, std::size_t row);
    void pickUsers(const RowRef& ref);
    void pickImage(const RowRef& ref);
    void applied(const Status& status, const RowRef& ref);

    void addAttachment();
    void removeAttachment();
    void changeAttachment();
    void openAttachment();
    void addComment();
    void removeComment();
    void toggleSchedule(bool on);
    void save();

    Session& session_;
    QFrame* changedBar_ = nullptr;
    QLabel* changedText_ = nullptr;
    QTimer* changePoll_ = nullptr;
    ImageLists& images_;
    DocumentEditor model_;
    QTreeWidget* tree_;
    QAction* save_;
    QAction* close_;
    QAction* attachments_;
    QAction* comments_;
    QAction* schedule_;
    QAction* removeAttachment_;
    QAction* changeAttachment_;
    QAction* openAttachment_;
    QAction* removeComment_;
    // The open in-place editor, the row it edits and how its value is read.
    QWidget* editor_ = nullptr;
    std::optional<RowRef> editing_;
    std::function<Status()> commit_;
    std::optional<RowRef> focused_;
    std::string savedAs_;
};

} // namespace quill::ui

#pragma once

#include "navigation/DocumentList.h"

#include <QTreeView>

#include <string_view>
#include <vector>

namespace quill {
class Session;
}

namespace quill::ui {

class DocumentListModel;
class ImageLists;

// The list under the page pane: the documents of the focused folder, or the
// user's tasks, one row per document with its picture.
class DocumentListView final : public QTreeView {
    Q_OBJECT
public:
    DocumentListView(Session& session, const ImageLists& images, QWidget* parent = nullptr);

    // Shows items in the order the user sorted by; the location column only
    // for task lists.
    void showItems(std::vector<DocumentItem> items, bool withLocation);

    // The item of the current row, or nothing.
    const DocumentItem* currentDocument() const;
    // The item of the row the user selected: the current row, and only
    // while it shows as selected.
    const DocumentItem* selectedDocument() const;
    // The item a shown row stands for, or nothing.
    const DocumentItem* documentAt(int row) const;
    const DocumentItem* documentAt(const QModelIndex& index) const;
    // Makes the row of the document at path the current and selected one;
    // a document the list does not show leaves it as it is.
    void selectDocument(std::string_view path);
    const std::vector<DocumentItem>& items() const;

signals:
    // Enter or a double click on a row: the document is to be edited.
    void documentActivated(const QString& path);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    DocumentListModel* model_;
};

} // namespace quill::ui

#pragma once

#include "navigation/DocumentList.h"

#include <QTreeWidget>

#include <vector>

namespace quill {
class Session;
}

namespace quill::ui {

class ImageLists;

// The list under the page pane: the documents of the focused folder, or the
// user's tasks, one row per document with its picture.
class DocumentListView final : public QTreeWidget {
    Q_OBJECT
public:
    DocumentListView(Session& session, const ImageLists& images, QWidget* parent = nullptr);

    // Shows items in their order; the location column only for task lists.
    void showItems(std::vector<DocumentItem> items, bool withLocation);

    // The item of the current row, or nothing.
    const DocumentItem* currentDocument() const;
    // The item of the row the user selected: the current row, and only
    // while it shows as selected.
    const DocumentItem* selectedDocument() const;
    // The item a row stands for, or nothing.
    const DocumentItem* documentOf(const QTreeWidgetItem* row) const;
    const std::vector<DocumentItem>& items() const { return items_; }

signals:
    // Enter or a double click on a row: the document is to be edited.
    void documentActivated(const QString& path);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    Session& session_;
    const ImageLists& images_;
    std::vector<DocumentItem> items_;
};

} // namespace quill::ui

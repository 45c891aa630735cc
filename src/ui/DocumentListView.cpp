#include "DocumentListView.h"

#include "DocumentListModel.h"
#include "QtText.h"

#include "session/Session.h"

#include <QHeaderView>
#include <QKeyEvent>

namespace quill::ui {

namespace {

QStringList headings(Session& session) {
    QStringList made;
    for (int column = 1; column <= DocumentListModel::ColumnCount; ++column)
        made << toQt(session.texts.lookup("GUI_FORM", "COLUMN_" + std::to_string(column), "GUI"));
    return made;
}

} // namespace

DocumentListView::DocumentListView(Session& session, const ImageLists& images, QWidget* parent)
    : QTreeView(parent), model_(new DocumentListModel(images, session.formats, headings(session), this)) {
    setObjectName("SecondTreeView");
    setModel(model_);
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setIconSize(QSize(16, 16));
    header()->setStretchLastSection(false);
    header()->setSectionResizeMode(DocumentListModel::NameColumn, QHeaderView::Interactive);
    header()->setSectionResizeMode(DocumentListModel::SecondFieldColumn, QHeaderView::Stretch);
    for (int column = DocumentListModel::TypeColumn; column < DocumentListModel::ColumnCount; ++column)
        header()->setSectionResizeMode(column, QHeaderView::ResizeToContents);
    setColumnWidth(DocumentListModel::NameColumn, 260);
    // The library's order is by name, ascending; a click on a heading sorts
    // by that column, a second click turns the direction.
    setSortingEnabled(true);
    sortByColumn(DocumentListModel::NameColumn, Qt::AscendingOrder);
    connect(this, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) {
        if (const DocumentItem* document = documentAt(index))
            emit documentActivated(toQt(document->path));
    });
}

void DocumentListView::showItems(std::vector<DocumentItem> items, bool withLocation) {
    model_->setItems(std::move(items));
    setColumnHidden(DocumentListModel::LocationColumn, !withLocation);
}

const std::vector<DocumentItem>& DocumentListView::items() const {
    return model_->items();
}

const DocumentItem* DocumentListView::currentDocument() const {
    return documentAt(currentIndex());
}

const DocumentItem* DocumentListView::selectedDocument() const {
    const QModelIndex current = currentIndex();
    return current.isValid() && selectionModel()->isSelected(current) ? documentAt(current) : nullptr;
}

const DocumentItem* DocumentListView::documentAt(int row) const {
    return model_->documentAt(row);
}

const DocumentItem* DocumentListView::documentAt(const QModelIndex& index) const {
    return index.isValid() ? model_->documentAt(index.row()) : nullptr;
}

void DocumentListView::selectDocument(std::string_view path) {
    if (const int row = model_->rowOf(path); row >= 0)
        setCurrentIndex(model_->index(row, DocumentListModel::NameColumn));
}

void DocumentListView::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (const DocumentItem* document = selectedDocument()) {
            emit documentActivated(toQt(document->path));
            return;
        }
    }
    QTreeView::keyPressEvent(event);
}

} // namespace quill::ui

#include "DocumentListView.h"

#include "ImageLists.h"
#include "QtText.h"

#include "session/Session.h"

#include <QHeaderView>
#include <QKeyEvent>

namespace quill::ui {

DocumentListView::DocumentListView(Session& session, const ImageLists& images, QWidget* parent)
    : QTreeWidget(parent), session_(session), images_(images) {
    setObjectName("SecondTreeView");
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setIconSize(QSize(16, 16));
    QStringList headers;
    for (int column = 1; column <= 6; ++column)
        headers << toQt(session_.texts.lookup("GUI_FORM", "COLUMN_" + std::to_string(column), "GUI"));
    setHeaderLabels(headers);
    header()->setStretchLastSection(false);
    header()->setSectionResizeMode(0, QHeaderView::Interactive);
    header()->setSectionResizeMode(1, QHeaderView::Stretch);
    for (int column = 2; column < 6; ++column)
        header()->setSectionResizeMode(column, QHeaderView::ResizeToContents);
    setColumnWidth(0, 260);
    connect(this, &QTreeWidget::itemDoubleClicked, this,
            [this](QTreeWidgetItem* item) { emit documentActivated(item->data(0, Qt::UserRole).toString()); });
}

void DocumentListView::showItems(std::vector<DocumentItem> items, bool withLocation) {
    const QSignalBlocker quiet(this);
    clear();
    items_ = std::move(items);
    for (std::size_t i = 0; i < items_.size(); ++i) {
        const DocumentItem& document = items_[i];
        auto* row = new QTreeWidgetItem(this);
        row->setText(0, toQt(document.name));
        row->setText(1, toQt(document.secondField));
        row->setText(2, toQt(document.typeCaption));
        row->setText(3, toQt(document.date));
        row->setText(4, toQt(document.time));
        row->setText(5, toQt(document.location));
        row->setIcon(0, images_.treeIcon(document.imageIndex));
        row->setData(0, Qt::UserRole, toQt(document.path));
        row->setData(1, Qt::UserRole, static_cast<qulonglong>(i));
        row->setToolTip(0, toQt(document.path));
    }
    setColumnHidden(5, !withLocation);
}

const DocumentItem* DocumentListView::currentDocument() const {
    const QTreeWidgetItem* row = currentItem();
    if (!row)
        return nullptr;
    const auto index = row->data(1, Qt::UserRole).toULongLong();
    return index < items_.size() ? &items_[index] : nullptr;
}

void DocumentListView::keyPressEvent(QKeyEvent* event) {
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && currentItem()) {
        emit documentActivated(currentItem()->data(0, Qt::UserRole).toString());
        return;
    }
    QTreeWidget::keyPressEvent(event);
}

} // namespace quill::ui

#include "DocumentListView.h"

#include "ImageLists.h"
#include "QtText.h"

#include "platform/DateTimeFormat.h"
#include "session/Session.h"

#include <QCollator>
#include <QHeaderView>
#include <QKeyEvent>

#include <limits>

namespace quill::ui {

namespace {

constexpr int kDateColumn = 3;
constexpr int kTimeColumn = 4;
constexpr int kSortKeyRole = Qt::UserRole + 1;

// A date or time as a number that sorts as the moment does; texts that are
// not in the machine's format sort after every real one, by their text.
qlonglong momentKey(const std::string& text, const std::string& pattern) {
    const auto moment = parseDateTime(text, pattern);
    if (!moment)
        return std::numeric_limits<qlonglong>::max();
    return ((((qlonglong(moment->year) * 13 + moment->month) * 32 + moment->day) * 24 + moment->hour) * 60 +
            moment->minute) *
               60 +
           moment->second;
}

// A row that sorts dates and times by their moment and texts in the
// language's order without regard to case; rows that compare equal keep
// the library's order, so that a sort is stable.
class DocumentRow final : public QTreeWidgetItem {
public:
    using QTreeWidgetItem::QTreeWidgetItem;

    bool operator<(const QTreeWidgetItem& other) const override {
        const int column = treeWidget() ? treeWidget()->sortColumn() : 0;
        const auto order = [](const QTreeWidgetItem& row) { return row.data(1, Qt::UserRole).toULongLong(); };
        if (column == kDateColumn || column == kTimeColumn) {
            const qlonglong mine = data(column, kSortKeyRole).toLongLong();
            const qlonglong theirs = other.data(column, kSortKeyRole).toLongLong();
            if (mine != theirs)
                return mine < theirs;
        }
        static const QCollator collator = [] {
            QCollator made;
            made.setCaseSensitivity(Qt::CaseInsensitive);
            made.setNumericMode(true);
            return made;
        }();
        const int compared = collator.compare(text(column), other.text(column));
        return compared != 0 ? compared < 0 : order(*this) < order(other);
    }
};

} // namespace

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
    // The library's order is by name, ascending; a click on a heading sorts
    // by that column, a second click turns the direction.
    setSortingEnabled(true);
    sortByColumn(0, Qt::AscendingOrder);
    connect(this, &QTreeWidget::itemDoubleClicked, this,
            [this](QTreeWidgetItem* item) { emit documentActivated(item->data(0, Qt::UserRole).toString()); });
}

void DocumentListView::showItems(std::vector<DocumentItem> items, bool withLocation) {
    const QSignalBlocker quiet(this);
    // Rows are sorted once, after all of them are in.
    setSortingEnabled(false);
    clear();
    items_ = std::move(items);
    const DateTimeFormats& formats = session_.formats;
    for (std::size_t i = 0; i < items_.size(); ++i) {
        const DocumentItem& document = items_[i];
        auto* row = new DocumentRow(this);
        row->setText(0, toQt(document.name));
        row->setText(1, toQt(document.secondField));
        row->setText(2, toQt(document.typeCaption));
        row->setText(3, toQt(document.date));
        row->setText(4, toQt(document.time));
        row->setText(5, toQt(document.location));
        row->setIcon(0, images_.treeIcon(document.imageIndex));
        row->setData(0, Qt::UserRole, toQt(document.path));
        row->setData(1, Qt::UserRole, static_cast<qulonglong>(i));
        row->setData(kDateColumn, kSortKeyRole, momentKey(document.date, formats.shortDate));
        row->setData(kTimeColumn, kSortKeyRole, momentKey(document.time, formats.longTime));
        row->setToolTip(0, toQt(document.path));
    }
    setColumnHidden(5, !withLocation);
    setSortingEnabled(true);
}

const DocumentItem* DocumentListView::currentDocument() const {
    return documentOf(currentItem());
}

const DocumentItem* DocumentListView::selectedDocument() const {
    const QTreeWidgetItem* row = currentItem();
    return row && row->isSelected() ? documentOf(row) : nullptr;
}

const DocumentItem* DocumentListView::documentOf(const QTreeWidgetItem* row) const {
    if (!row)
        return nullptr;
    const auto index = row->data(1, Qt::UserRole).toULongLong();
    return index < items_.size() ? &items_[index] : nullptr;
}

void DocumentListView::keyPressEvent(QKeyEvent* event) {
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && selectedDocument()) {
        emit documentActivated(currentItem()->data(0, Qt::UserRole).toString());
        return;
    }
    QTreeWidget::keyPressEvent(event);
}

} // namespace quill::ui

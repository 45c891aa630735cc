#pragma once

#include "navigation/DocumentList.h"
#include "platform/DateTimeFormat.h"

#include <QAbstractTableModel>
#include <QCollator>
#include <QHash>
#include <QIcon>
#include <QStringList>

#include <cstddef>
#include <string_view>
#include <vector>

namespace quill::ui {

class ImageLists;

// The rows of the document list: the documents the library listed, kept as
// it returned them. A row is an index into that list, so a sort reorders
// only the indexes and a refill replaces everything at once.
class DocumentListModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { NameColumn, SecondFieldColumn, TypeColumn, DateColumn, TimeColumn, LocationColumn, ColumnCount };
    // The document's path, in every column.
    static constexpr int PathRole = Qt::UserRole;

    // headings: one per column. Dates and times sort by the moment formats
    // reads from them.
    DocumentListModel(const ImageLists& images, const DateTimeFormats& formats, QStringList headings,
                      QObject* parent = nullptr);

    // Replaces the rows, sorted as the last sort asked; until the first
    // sort they keep the library's order.
    void setItems(std::vector<DocumentItem> items);
    // In the library's order, not the shown one.
    const std::vector<DocumentItem>& items() const { return items_; }
    // The document a shown row stands for, or nothing.
    const DocumentItem* documentAt(int row) const;
    // The shown row of the document at path, or -1.
    int rowOf(std::string_view path) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // A row dragged onto a folder moves there, or is copied with Ctrl; the
    // folder decides, the list never removes the row itself.
    Qt::DropActions supportedDragActions() const override;
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

private:
    QString text(const DocumentItem& item, int column) const;
    bool before(std::size_t left, std::size_t right) const;
    void arrange();

    const ImageLists& images_;
    const DateTimeFormats& formats_;
    QStringList headings_;
    QCollator collator_;
    std::vector<DocumentItem> items_;
    // Per item: its date and time as numbers that sort as the moments do.
    std::vector<qlonglong> dateKeys_;
    std::vector<qlonglong> timeKeys_;
    // Shown row -> index into items_.
    std::vector<std::size_t> rows_;
    int sortColumn_ = -1;
    Qt::SortOrder sortOrder_ = Qt::AscendingOrder;
    // Icons are scaled once per picture and refill, not at every paint.
    mutable QHash<int, QIcon> icons_;
};

} // namespace quill::ui

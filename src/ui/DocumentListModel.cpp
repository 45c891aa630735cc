#include "DocumentListModel.h"

#include "ImageLists.h"
#include "QtText.h"

#include <algorithm>
#include <limits>
#include <numeric>

namespace quill::ui {

namespace {

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

} // namespace

DocumentListModel::DocumentListModel(const ImageLists& images, const DateTimeFormats& formats, QStringList headings,
                                     QObject* parent)
    : QAbstractTableModel(parent), images_(images), formats_(formats), headings_(std::move(headings)) {
    // Texts sort in the language's order without regard to case, and
    // "File 9" before "File 10".
    collator_.setCaseSensitivity(Qt::CaseInsensitive);
    collator_.setNumericMode(true);
}

void DocumentListModel::setItems(std::vector<DocumentItem> items) {
    beginResetModel();
    items_ = std::move(items);
    icons_.clear();
    dateKeys_.clear();
    timeKeys_.clear();
    for (const DocumentItem& item : items_) {
        dateKeys_.push_back(momentKey(item.date, formats_.shortDate));
        timeKeys_.push_back(momentKey(item.time, formats_.longTime));
    }
    arrange();
    endResetModel();
}

const DocumentItem* DocumentListModel::documentAt(int row) const {
    if (row < 0 || static_cast<std::size_t>(row) >= rows_.size())
        return nullptr;
    return &items_[rows_[static_cast<std::size_t>(row)]];
}

int DocumentListModel::rowOf(std::string_view path) const {
    for (std::size_t row = 0; row < rows_.size(); ++row) {
        if (items_[rows_[row]].path == path)
            return static_cast<int>(row);
    }
    return -1;
}

int DocumentListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int DocumentListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QString DocumentListModel::text(const DocumentItem& item, int column) const {
    switch (column) {
    case NameColumn: return toQt(item.name);
    case SecondFieldColumn: return toQt(item.secondField);
    case TypeColumn: return toQt(item.typeCaption);
    case DateColumn: return toQt(item.date);
    case TimeColumn: return toQt(item.time);
    case LocationColumn: return toQt(item.location);
    default: return {};
    }
}

QVariant DocumentListModel::data(const QModelIndex& index, int role) const {
    const DocumentItem* item = index.isValid() ? documentAt(index.row()) : nullptr;
    if (!item)
        return {};
    switch (role) {
    case Qt::DisplayRole: return text(*item, index.column());
    case PathRole: return toQt(item->path);
    case Qt::ToolTipRole: return index.column() == NameColumn ? QVariant(toQt(item->path)) : QVariant();
    case Qt::DecorationRole: {
        if (index.column() != NameColumn)
            return {};
        auto cached = icons_.find(item->imageIndex);
        if (cached == icons_.end())
            cached = icons_.insert(item->imageIndex, images_.treeIcon(item->imageIndex));
        return *cached;
    }
    default: return {};
    }
}

QVariant DocumentListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    return headings_.value(section);
}

Qt::ItemFlags DocumentListModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsDragEnabled;
}

Qt::DropActions DocumentListModel::supportedDragActions() const {
    return Qt::CopyAction | Qt::MoveAction;
}

bool DocumentListModel::before(std::size_t left, std::size_t right) const {
    if (sortColumn_ == DateColumn || sortColumn_ == TimeColumn) {
        const std::vector<qlonglong>& keys = sortColumn_ == DateColumn ? dateKeys_ : timeKeys_;
        if (keys[left] != keys[right])
            return keys[left] < keys[right];
    }
    const int compared = collator_.compare(text(items_[left], sortColumn_), text(items_[right], sortColumn_));
    // Rows that compare equal keep the library's order, so a sort is stable.
    return compared != 0 ? compared < 0 : left < right;
}

void DocumentListModel::arrange() {
    rows_.resize(items_.size());
    std::iota(rows_.begin(), rows_.end(), std::size_t{0});
    if (sortColumn_ < 0)
        return;
    // Descending is ascending turned round, equal rows included.
    std::sort(rows_.begin(), rows_.end(), [this](std::size_t left, std::size_t right) {
        return sortOrder_ == Qt::AscendingOrder ? before(left, right) : before(right, left);
    });
}

void DocumentListModel::sort(int column, Qt::SortOrder order) {
    if (column < 0 || column >= ColumnCount)
        return;
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    // The selected and current rows follow their documents.
    const QModelIndexList persistent = persistentIndexList();
    std::vector<std::size_t> itemsBefore;
    itemsBefore.reserve(static_cast<std::size_t>(persistent.size()));
    for (const QModelIndex& index : persistent)
        itemsBefore.push_back(rows_[static_cast<std::size_t>(index.row())]);
    sortColumn_ = column;
    sortOrder_ = order;
    arrange();
    std::vector<int> rowOfItem(items_.size());
    for (std::size_t row = 0; row < rows_.size(); ++row)
        rowOfItem[rows_[row]] = static_cast<int>(row);
    QModelIndexList moved;
    moved.reserve(persistent.size());
    for (qsizetype i = 0; i < persistent.size(); ++i)
        moved.append(index(rowOfItem[itemsBefore[static_cast<std::size_t>(i)]], persistent[i].column()));
    changePersistentIndexList(persistent, moved);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

} // namespace quill::ui

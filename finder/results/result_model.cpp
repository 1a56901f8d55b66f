#include "result_model.h"

#include "finder/display_text.h"

#include <QFileIconProvider>
#include <QMimeDatabase>
#include <algorithm>
#include <unordered_map>
#include <unordered_set>

namespace finder {

int ResultModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int ResultModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kResultColumnCount;
}

QVariant ResultModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const Row& row = rows_[static_cast<std::size_t>(index.row())];
    if (role == Qt::DisplayRole)
        return displayText(columnText(row.texts, index.column()));
    if (role == Qt::DecorationRole && index.column() == kNameColumn && row.icon >= 0)
        return icons_[row.icon];
    return {};
}

QVariant ResultModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    static const char* const captions[] = {"Name", "In Folder", "Size    ", "Type", "Modified"};
    if (section < 0 || section >= kResultColumnCount)
        return {};
    return tr(captions[section]);
}

int ResultModel::iconIndex(const std::string& iconName, const std::string& fileName) {
    if (iconName.empty())
        return -1;
    const QString name = QString::fromStdString(iconName);
    if (const auto it = iconIndexes_.constFind(name); it != iconIndexes_.constEnd())
        return *it;
    // The type's own picture, else the picture of its family (image, drawing,
    // text ...), else a plain document. Looked up once per type.
    static const QFileIconProvider provider;
    QIcon icon = QIcon::fromTheme(name);
    if (icon.isNull()) {
        const QMimeType type =
            QMimeDatabase().mimeTypeForFile(displayText(fileName), QMimeDatabase::MatchExtension);
        icon = QIcon::fromTheme(type.genericIconName(), provider.icon(QFileIconProvider::File));
    }
    icons_.append(icon);
    const int index = static_cast<int>(icons_.size()) - 1;
    iconIndexes_.insert(name, index);
    return index;
}

ResultModel::Row ResultModel::rowOf(const FoundRow& found) {
    RowTexts texts = rowTexts(found);
    const int icon = iconIndex(found.type.iconName, texts.name);
    return {0,
            std::move(texts),
            icon,
            found.file.path,
            found.file.facts,
            found.file.size,
            found.file.modified};
}

void ResultModel::appendRows(const std::vector<FoundRow>& rows) {
    std::vector<Row> added;
    added.reserve(rows.size());
    for (const FoundRow& found : rows)
        added.push_back(rowOf(found));
    append(std::move(added));
}

int ResultModel::rowOfPath(const std::string& path) {
    if (pathsStale_) {
        rowOfPath_.clear();
        for (std::size_t i = 0; i < rows_.size(); ++i)
            rowOfPath_.emplace(rows_[i].path, static_cast<int>(i));
        pathsStale_ = false;
    }
    const auto it = rowOfPath_.find(path);
    return it == rowOfPath_.end() ? -1 : it->second;
}

void ResultModel::replaceRows(const std::vector<FoundRow>& rows) {
    std::vector<Row> added;
    for (const FoundRow& found : rows) {
        Row row = rowOf(found);
        const int at = rowOfPath(row.path);
        if (at < 0) {
            added.push_back(std::move(row));
            continue;
        }
        Row& shown = rows_[static_cast<std::size_t>(at)];
        const bool sameFacts =
            shown.facts == row.facts || (shown.facts && row.facts && *shown.facts == *row.facts);
        const bool changed = shown.texts != row.texts || shown.icon != row.icon || !sameFacts;
        row.id = shown.id; // the same file: the map knows it by its id
        shown = std::move(row);
        if (changed)
            emit dataChanged(index(at, 0), index(at, kResultColumnCount - 1));
    }
    append(std::move(added));
}

void ResultModel::removeRows(const std::vector<std::string>& paths) {
    std::vector<int> gone;
    for (const std::string& path : paths) {
        if (const int at = rowOfPath(path); at >= 0)
            gone.push_back(at);
    }
    std::sort(gone.begin(), gone.end());
    gone.erase(std::unique(gone.begin(), gone.end()), gone.end());
    // From the end, one run of neighbouring rows at a time.
    for (auto last = gone.rbegin(); last != gone.rend();) {
        auto first = last;
        while (std::next(first) != gone.rend() && *std::next(first) == *first - 1)
            ++first;
        beginRemoveRows({}, *first, *last);
        rows_.erase(rows_.begin() + *first, rows_.begin() + *last + 1);
        endRemoveRows();
        last = std::next(first);
    }
    pathsStale_ = true;
}

void ResultModel::appendTextRows(const std::vector<RowTexts>& rows) {
    std::vector<Row> added;
    added.reserve(rows.size());
    for (const RowTexts& texts : rows) {
        std::string path = fullPathOfRow(texts.folder, texts.name);
        const int icon = iconIndex(fileTypeOf(texts.name, path).iconName, texts.name);
        added.push_back({0, texts, icon, std::move(path), nullptr, std::nullopt, std::nullopt});
    }
    append(std::move(added));
}

void ResultModel::append(std::vector<Row> rows) {
    if (rows.empty())
        return;
    const int first = rowCount();
    beginInsertRows({}, first, first + static_cast<int>(rows.size()) - 1);
    // No reserve of the exact size: batch after batch, that would move every
    // row each time; the vector's own growth keeps appending linear.
    for (Row& row : rows) {
        row.id = nextId_++;
        if (!pathsStale_)
            rowOfPath_.emplace(row.path, static_cast<int>(rows_.size()));
        rows_.push_back(std::move(row));
    }
    endInsertRows();
}

std::vector<int> ResultModel::rowsOfIds(const std::vector<std::uint64_t>& ids) const {
    const std::unordered_set<std::uint64_t> wanted(ids.begin(), ids.end());
    std::vector<int> rows;
    for (std::size_t i = 0; i < rows_.size(); ++i)
        if (wanted.count(rows_[i].id) != 0)
            rows.push_back(static_cast<int>(i));
    return rows;
}

void ResultModel::setFacts(const std::vector<IdFacts>& facts) {
    std::unordered_map<std::uint64_t, std::shared_ptr<const strand32::FileFacts>> byId(
        facts.begin(), facts.end());
    for (Row& row : rows_)
        if (const auto it = byId.find(row.id); it != byId.end())
            row.facts = it->second;
}

ExportRow ResultModel::exportRow(int row) const {
    const Row& r = rows_[static_cast<std::size_t>(row)];
    return ExportRow{r.texts, r.path, r.facts, r.size, r.modified};
}

void ResultModel::clear() {
    beginResetModel();
    rows_.clear();
    pathsStale_ = true;
    endResetModel();
}

void ResultModel::sortByColumn(int column, SortDirections& directions) {
    std::vector<const RowTexts*> texts;
    texts.reserve(rows_.size());
    for (const Row& row : rows_)
        texts.push_back(&row.texts);
    const std::vector<std::size_t> order = sortOrder(texts, column, directions);

    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    std::vector<int> newRowOf(order.size());
    std::vector<Row> sorted;
    sorted.reserve(rows_.size());
    for (std::size_t i = 0; i < order.size(); ++i) {
        newRowOf[order[i]] = static_cast<int>(i);
        sorted.push_back(std::move(rows_[order[i]]));
    }
    rows_ = std::move(sorted);
    pathsStale_ = true;
    // Selected and current rows stay with their files.
    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex& index : before)
        after.append(index.isValid() ? this->index(newRowOf[static_cast<std::size_t>(index.row())],
                                                   index.column())
                                     : QModelIndex());
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

} // namespace finder

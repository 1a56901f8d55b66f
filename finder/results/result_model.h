#pragma once
// The rows of the results list: their five texts and the type's picture,
// one model shared by the four view styles, each row with its file's full
// path, the facts the search read of it and an id that stays with it (the
// map names rows by it). Rows are appended in batches and sorted in place;
// the selection follows its rows through a sort.
#include "finder/export/export_row.h"
#include "finder/found_file.h"
#include "finder/result_order.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QIcon>
#include <QList>
#include <cstdint>
#include <memory>
#include <unordered_map>
#include <utility>
#include <vector>

namespace finder {

class ResultModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // Rows a search found: their texts are made here.
    void appendRows(const std::vector<FoundRow>& rows);
    // Rows that take the place of the rows of their paths (rows shown from
    // the catalogue, as the disk has them now); a path not shown is added.
    void replaceRows(const std::vector<FoundRow>& rows);
    // Takes away the rows of these full paths.
    void removeRows(const std::vector<std::string>& paths);
    // Rows kept as texts (a saved search's): their type is looked up by name.
    void appendTextRows(const std::vector<RowTexts>& rows);
    void clear();
    const RowTexts& texts(int row) const { return rows_[static_cast<std::size_t>(row)].texts; }
    ExportRow exportRow(int row) const;
    // Ids are given in order of arrival and never given again.
    std::uint64_t rowId(int row) const { return rows_[static_cast<std::size_t>(row)].id; }
    // The rows of these ids, in the list's order.
    std::vector<int> rowsOfIds(const std::vector<std::uint64_t>& ids) const;
    // Facts read later for rows kept as texts, by id.
    using IdFacts = std::pair<std::uint64_t, std::shared_ptr<const strand32::FileFacts>>;
    void setFacts(const std::vector<IdFacts>& facts);
    // Sorts as a click on the column does and flips its direction bit.
    void sortByColumn(int column, SortDirections& directions);

private:
    struct Row {
        std::uint64_t id = 0;
        RowTexts texts;
        int icon = -1; // index into icons_, -1 for none
        std::string path;
        std::shared_ptr<const strand32::FileFacts> facts; // null: not read
        std::optional<std::uint64_t> size;                // none for rows kept as texts
        std::optional<FileClock::time_point> modified;
    };
    void append(std::vector<Row> rows);
    Row rowOf(const FoundRow& found);
    int iconIndex(const std::string& iconName, const std::string& fileName);
    // The row of a full path, -1 for none.
    int rowOfPath(const std::string& path);

    std::vector<Row> rows_;
    std::uint64_t nextId_ = 1;
    std::unordered_map<std::string, int> rowOfPath_; // made again when stale
    bool pathsStale_ = true;
    QList<QIcon> icons_;
    QHash<QString, int> iconIndexes_;
};

} // namespace finder

#pragma once
// The results list: one row per file found, shown in one of four view styles
// over one model, sorted by column, with selection commands and the drag
// detection that starts a drag of the selected rows or, on a right-button
// release, the companion-program popup.
#include "finder/export/export_row.h"
#include "finder/found_file.h"
#include "finder/result_order.h"

#include <QPoint>
#include <QStackedWidget>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

class QAbstractItemView;
class QItemSelectionModel;
class QListView;
class QTimer;
class QTreeView;

namespace finder {

class ResultModel;

class ResultList : public QStackedWidget {
    Q_OBJECT
public:
    enum class ViewStyle { LargeIcons, SmallIcons, List, Details };
    // Milliseconds a button held still on a row takes to start a drag.
    static constexpr int kDragDelay = 200;
    // Pixels the mouse may move on either axis before a drag starts.
    static constexpr int kDragSlop = 4;

    explicit ResultList(QWidget* parent = nullptr);

    void appendRows(const std::vector<FoundRow>& rows);
    // Rows in place of those of their paths; rows of these paths taken away.
    void replaceRows(const std::vector<FoundRow>& rows);
    void removeRows(const std::vector<std::string>& paths);
    void appendTextRows(const std::vector<RowTexts>& rows);
    void clearRows();
    int rowCount() const;
    QStringList rowTexts(int row) const;
    const RowTexts& texts(int row) const;
    // The row's texts, full path and the facts the search read of it.
    ExportRow exportRow(int row) const;
    // Sets the first row's selected state; the others are left as they are.
    void selectFirstRow();
    // The selected rows, in the list's order.
    std::vector<int> selectedRows() const;
    bool isRowSelected(int row) const;
    // Rows by the ids that stay with them (ResultModel::rowId).
    std::uint64_t rowId(int row) const;
    std::vector<std::uint64_t> selectedIds() const;
    // Selects exactly the rows of `ids` or, with `toggle`, flips them as a
    // group: removed when all of them are selected, else added. The first of
    // them is scrolled into view.
    void selectIds(const std::vector<std::uint64_t>& ids, bool toggle);
    // Facts read later for rows kept as texts.
    void setFacts(
        const std::vector<std::pair<std::uint64_t, std::shared_ptr<const strand32::FileFacts>>>&
            facts);

    void setViewStyle(ViewStyle style);
    ViewStyle viewStyle() const { return style_; }
    QAbstractItemView* currentView() const;
    // Selects every row, only while the list is visible.
    void selectAll();
    void invertSelection();
    // Sorts by column 0-4 as a click on its header does; any other does nothing.
    void OnHeaderClick(int column);
    const SortDirections& sortDirections() const { return directions_; }
    bool dragPending() const { return pending_; }

signals:
    // The mouse left the press box, or was held still for kDragDelay ms.
    void dragRequested();
    // The right button was released over the list with rows selected.
    void popupRequested(const QPoint& globalPosition);
    // A row was double-clicked.
    void rowDoubleClicked();
    // Rows were selected or deselected, by any means.
    void selectionChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void pressed(QAbstractItemView* view, const QPoint& position);
    void startDrag();
    void endPending();

    ResultModel* model_;
    QItemSelectionModel* selection_;
    QTreeView* details_;
    QListView* icons_;
    QTimer* dragTimer_;
    ViewStyle style_ = ViewStyle::Details;
    SortDirections directions_;
    bool pending_ = false;
    QPoint pressPoint_;
    QWidget* captured_ = nullptr;
};

} // namespace finder

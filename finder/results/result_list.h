#pragma once
// The results list: one row per file found, with the five texts the rest of
// the program reads back (name, folder, size, type, modified).
#include "finder/found_file.h"

#include <QHash>
#include <QIcon>
#include <QTimer>
#include <QTreeWidget>

namespace finder {

class ResultList : public QTreeWidget {
    Q_OBJECT
public:
    enum Column { NameColumn, FolderColumn, SizeColumn, TypeColumn, ModifiedColumn };

    explicit ResultList(QWidget* parent = nullptr);
    ~ResultList() override;

    // Appends a row; `iconName` is the type's icon (empty: no icon). Rows
    // reach the view in batches a few times a second, so a long list is not
    // laid out again for every row.
    void appendRow(const RowTexts& texts, const std::string& iconName);
    // Puts the rows appended since the last batch into the view.
    void flushRows();
    void clearRows();
    int rowCount() const { return topLevelItemCount() + static_cast<int>(pending_.size()); }
    QStringList rowTexts(int row) const;
    // Sets the first row's selected state; the others are left as they are.
    void selectFirstRow();

private:
    QIcon iconFor(const std::string& iconName, const QString& fileName);

    QHash<QString, QIcon> icons_;
    QList<QTreeWidgetItem*> pending_;
    QTimer* flushTimer_;
};

} // namespace finder

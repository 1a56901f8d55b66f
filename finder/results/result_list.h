#pragma once
// The results list: one row per file found, with the five texts the rest of
// the program reads back (name, folder, size, type, modified).
#include "finder/found_file.h"

#include <QHash>
#include <QIcon>
#include <QTreeWidget>

namespace finder {

class ResultList : public QTreeWidget {
    Q_OBJECT
public:
    enum Column { NameColumn, FolderColumn, SizeColumn, TypeColumn, ModifiedColumn };

    explicit ResultList(QWidget* parent = nullptr);

    // Appends a row; `iconName` is the type's icon (empty: no icon).
    void appendRow(const RowTexts& texts, const std::string& iconName);
    int rowCount() const { return topLevelItemCount(); }
    QStringList rowTexts(int row) const;
    // Sets the first row's selected state; the others are left as they are.
    void selectFirstRow();

private:
    QIcon iconFor(const std::string& iconName, const QString& fileName);

    QHash<QString, QIcon> icons_;
};

} // namespace finder

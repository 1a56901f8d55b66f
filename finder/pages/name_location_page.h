#pragma once
// The "Name && Location" page: the name pattern, the folder where the search
// begins (mounted volumes, the home folder and folders added by Browse) and
// whether subfolders are searched.
#include "finder/criteria_form.h"
#include "finder/saved_search.h"

#include <platform/drive_kind.h>

#include <QWidget>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;

namespace finder {

class NameLocationPage : public QWidget {
    Q_OBJECT
public:
    // Item data of the Look-in list holding the platform::DriveKind pictured.
    static constexpr int LookInPictureRole = Qt::UserRole + 2;

    explicit NameLocationPage(QWidget* parent = nullptr);

    // Replaces the Named list with `entries` and selects the first.
    void fillNamed(const std::vector<std::string>& entries);
    QString namedText() const;
    void focusNamed();

    // Selects the entry whose text equals `path` (case ignored) or adds it as
    // a folder item with the picture of the volume it lies on.
    void addLookInFolder(const QString& path);
    // The folder a search starts in, by the Look-in rule for the selected item.
    std::string startFolder() const;
    int lookInIndex() const;
    void setLookInIndex(int index);

    bool includeSubfolders() const;
    // The page's controls in a saved search, and back.
    void saveState(SavedSearchHeader& header) const;
    void loadState(const SavedSearchHeader& header);
    void reset(int lookInIndex);

    QPushButton* browseButton() const { return browse_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void fillLookIn();
    void addLookInItem(const QString& text, LookInKind kind, platform::DriveKind picture);
    void rememberTypedPattern();

    QLabel* namedLabel_;
    QComboBox* named_;
    QLabel* lookInLabel_;
    QComboBox* lookIn_;
    QPushButton* browse_;
    QCheckBox* recurse_;
};

} // namespace finder

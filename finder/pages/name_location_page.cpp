#include "name_location_page.h"

#include "saved_state.h"

#include "finder/criteria_form.h"

#include <platform/drive_kind.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>

namespace finder {
namespace {

// Item data of the Look-in list: whether the item is a volume or a folder.
constexpr int kLookInKindRole = Qt::UserRole + 1;

QIcon iconOfDriveKind(const QStyle* style, platform::DriveKind kind) {
    switch (kind) {
    case platform::DriveKind::Removable:
        return style->standardIcon(QStyle::SP_DriveFDIcon);
    case platform::DriveKind::Fixed:
        return style->standardIcon(QStyle::SP_DriveHDIcon);
    case platform::DriveKind::Remote:
        return style->standardIcon(QStyle::SP_DriveNetIcon);
    case platform::DriveKind::CdRom:
        return style->standardIcon(QStyle::SP_DriveCDIcon);
    default:
        return style->standardIcon(QStyle::SP_DirIcon);
    }
}

} // namespace

NameLocationPage::NameLocationPage(QWidget* parent)
    : QWidget(parent), namedLabel_(new QLabel(tr("&Named:"), this)), named_(new QComboBox(this)),
      lookInLabel_(new QLabel(tr("&Look in:"), this)), lookIn_(new QComboBox(this)),
      browse_(new QPushButton(tr("&Browse..."), this)),
      recurse_(new QCheckBox(tr("Include &subfolders"), this)) {
    named_->setObjectName("NameComboBox");
    named_->setEditable(true);
    named_->setInsertPolicy(QComboBox::NoInsert);
    named_->setMaxVisibleItems(16);
    named_->lineEdit()->installEventFilter(this);
    namedLabel_->setBuddy(named_);
    lookIn_->setObjectName("DriveComboBox1");
    lookIn_->setMaxVisibleItems(16);
    lookInLabel_->setBuddy(lookIn_);
    browse_->setObjectName("BrowseButton");
    recurse_->setObjectName("Recurse");
    recurse_->setChecked(true);

    namedLabel_->setGeometry(10, 14, 62, 20);
    named_->setGeometry(76, 12, 294, 24);
    lookInLabel_->setGeometry(10, 50, 62, 20);
    lookIn_->setGeometry(76, 48, 168, 24);
    browse_->setGeometry(262, 47, 88, 26);
    recurse_->setGeometry(76, 86, 220, 22);
    fillLookIn();
}

void NameLocationPage::fillNamed(const std::vector<std::string>& entries) {
    named_->clear();
    for (const std::string& entry : entries)
        named_->addItem(QString::fromStdString(entry));
    named_->setCurrentIndex(0);
}

QString NameLocationPage::namedText() const {
    return named_->currentText();
}

void NameLocationPage::focusNamed() {
    named_->setFocus(Qt::OtherFocusReason);
}

void NameLocationPage::fillLookIn() {
    for (const platform::Volume& v : platform::mountedVolumes()) {
        addLookInItem(QString::fromStdString(driveItemText(v.mountPoint, v.label)),
                      LookInKind::Drive, v.kind);
    }
    // The home folder is where a user's data usually is: selected at first.
    addLookInFolder(QDir::homePath());
}

void NameLocationPage::addLookInItem(const QString& text, LookInKind kind,
                                     platform::DriveKind picture) {
    lookIn_->addItem(iconOfDriveKind(style(), picture), text);
    const int index = lookIn_->count() - 1;
    lookIn_->setItemData(index, static_cast<int>(kind), kLookInKindRole);
    lookIn_->setItemData(index, static_cast<int>(picture), LookInPictureRole);
}

void NameLocationPage::addLookInFolder(const QString& path) {
    for (int i = 0; i < lookIn_->count(); ++i) {
        if (lookIn_->itemText(i).compare(path, Qt::CaseInsensitive) == 0) {
            lookIn_->setCurrentIndex(i);
            return;
        }
    }
    const platform::DriveKind kind = platform::driveKindOf(path.toStdString());
    // A folder shows a drive picture only when it is the root of that drive.
    const bool isMountPoint = [&] {
        for (const platform::Volume& v : platform::mountedVolumes())
            if (QString::fromStdString(v.mountPoint) == QDir::cleanPath(path))
                return true;
        return false;
    }();
    addLookInItem(path, LookInKind::Folder, isMountPoint ? kind : platform::DriveKind::Unknown);
    lookIn_->setCurrentIndex(lookIn_->count() - 1);
}

std::string NameLocationPage::startFolder() const {
    const int index = lookIn_->currentIndex();
    const auto kind = index >= 0 && lookIn_->itemData(index, kLookInKindRole).toInt() ==
                                        static_cast<int>(LookInKind::Drive)
                          ? LookInKind::Drive
                          : LookInKind::Folder;
    return lookInStartFolder(lookIn_->currentText().toStdString(), kind);
}

void NameLocationPage::saveState(SavedSearchHeader& header) const {
    header.namedText = localBytes(named_->currentText());
    header.lookInText = localBytes(lookIn_->currentText());
    header.recurse = recurse_->isChecked();
}

// A Look-in text not in the list comes in as a folder with its drive's picture.
void NameLocationPage::loadState(const SavedSearchHeader& header) {
    named_->setEditText(fromLocalBytes(header.namedText));
    addLookInFolder(fromLocalBytes(header.lookInText));
    recurse_->setChecked(header.recurse);
}

int NameLocationPage::lookInIndex() const {
    return lookIn_->currentIndex();
}

void NameLocationPage::setLookInIndex(int index) {
    lookIn_->setCurrentIndex(index);
}

bool NameLocationPage::includeSubfolders() const {
    return recurse_->isChecked();
}

void NameLocationPage::reset(int lookInIndex) {
    named_->setCurrentIndex(0);
    named_->setEditText(QString::fromUtf8(kAllTypesText.data(), kAllTypesText.size()));
    setLookInIndex(lookInIndex);
    recurse_->setChecked(true);
}

void NameLocationPage::rememberTypedPattern() {
    const QString text = named_->currentText();
    if (named_->findText(text, Qt::MatchFixedString) < 0)
        named_->addItem(text);
}

bool NameLocationPage::eventFilter(QObject* watched, QEvent* event) {
    if (watched == named_->lineEdit() && event->type() == QEvent::FocusOut)
        rememberTypedPattern();
    return QWidget::eventFilter(watched, event);
}

} // namespace finder

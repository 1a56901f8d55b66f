#include "advanced_page.h"

#include "saved_state.h"

#include "up_down.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

namespace finder {

AdvancedPage::AdvancedPage(QWidget* parent)
    : QWidget(parent), sizeMode_(new QComboBox(this)), kb_(new QLineEdit("0", this)) {
    auto* label = new QLabel(tr("&Size is:"), this);
    label->setGeometry(10, 14, 62, 20);
    label->setBuddy(sizeMode_);
    sizeMode_->setObjectName("AdvancedSize");
    sizeMode_->addItems({QString(),
                         QString::fromUtf8(kSizeAtLeastText.data(), kSizeAtLeastText.size()),
                         QString::fromUtf8(kSizeAtMostText.data(), kSizeAtMostText.size())});
    sizeMode_->setCurrentIndex(-1);
    sizeMode_->setGeometry(76, 12, 110, 24);
    kb_->setObjectName("KB");
    kb_->setGeometry(196, 12, 64, 24);
    kbSpin_ = new UpDown(kb_, 0, 32767, 100, this);
    kbSpin_->setObjectName("KBSpin");
    kbSpin_->setGeometry(260, 12, 16, 24);
    (new QLabel(tr("KB"), this))->setGeometry(284, 14, 30, 20);
}

void AdvancedPage::fillForm(CriteriaForm& form) const {
    form.sizeMode = sizeModeOfItem(sizeMode_->currentIndex());
    form.kbText = kb_->text().toStdString();
}

void AdvancedPage::saveState(SavedSearchHeader& header) const {
    header.sizeModeText = localBytes(sizeMode_->currentText());
    header.kbText = localBytes(kb_->text());
}

void AdvancedPage::loadState(const SavedSearchHeader& header) {
    sizeMode_->setCurrentIndex(header.sizeModeText == kSizeAtLeastText  ? 1
                               : header.sizeModeText == kSizeAtMostText ? 2
                                                                        : -1);
    kb_->setText(fromLocalBytes(header.kbText));
}

void AdvancedPage::reset() {
    sizeMode_->setCurrentIndex(-1);
    kb_->clear();
}

} // namespace finder

#include "date_page.h"

#include "saved_state.h"
#include "up_down.h"

#include <QButtonGroup>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

namespace finder {
namespace {

constexpr int kCountBoxMaxLength = 3; // characters a user may type
constexpr int kSpinMaximum = 32767;

QString text(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<int>(s.size()));
}

} // namespace

DatePage::DatePage(int monthsLimit, int daysLimit, QWidget* parent)
    : QWidget(parent), allFiles_(new QRadioButton(tr("&All Files"), this)),
      findModified_(new QRadioButton(tr("Find all files created or &modified:"), this)),
      between_(new QRadioButton(tr("&between"), this)),
      previousMonths_(new QRadioButton(tr("&during the previou&s"), this)),
      previousDays_(new QRadioButton(tr("&during the previous"), this)),
      dateStart_(new QLineEdit(this)), dateEnd_(new QLineEdit(this)), monthsLimit_(monthsLimit),
      daysLimit_(daysLimit) {
    allFiles_->setObjectName("AllFilesButton");
    findModified_->setObjectName("FindAllModifiedButton");
    between_->setObjectName("FindBetweenRadioButton");
    previousMonths_->setObjectName("DuringPreviousMonth");
    previousDays_->setObjectName("DuringPreviousDay");
    dateStart_->setObjectName("DateMaskStart");
    dateEnd_->setObjectName("DateMaskEnd");

    auto* first = new QButtonGroup(this);
    first->addButton(allFiles_);
    first->addButton(findModified_);
    auto* second = new QButtonGroup(this);
    for (QRadioButton* b : {between_, previousMonths_, previousDays_})
        second->addButton(b);
    allFiles_->setChecked(true);

    // Month and day may be left blank, the year is four digits; the slashes
    // stay in the text, blanks show as "_".
    for (QLineEdit* box : {dateStart_, dateEnd_}) {
        box->setInputMask("00/00/9999;_");
        box->setMaxLength(static_cast<int>(kDateBoxLength));
    }
    prevMonths_ = countBox("PrevMonths", monthsLimit_);
    prevDays_ = countBox("PrevDays", daysLimit_);
    monthsSpin_ = new UpDown(prevMonths_, 0, kSpinMaximum, 1, this);
    daysSpin_ = new UpDown(prevDays_, 0, kSpinMaximum, 1, this);
    monthsSpin_->setObjectName("PrevMonthsSpin");
    daysSpin_->setObjectName("PrevDaysSpin");

    allFiles_->setGeometry(10, 8, 300, 22);
    findModified_->setGeometry(10, 32, 300, 22);
    between_->setGeometry(30, 60, 150, 22);
    dateStart_->setGeometry(184, 59, 90, 24);
    auto* andLabel = new QLabel(tr("and"), this);
    andLabel->setGeometry(282, 62, 30, 20);
    dateEnd_->setGeometry(314, 59, 90, 24);
    previousMonths_->setGeometry(30, 90, 150, 22);
    prevMonths_->setGeometry(184, 89, 44, 24);
    monthsSpin_->setGeometry(228, 89, 16, 24);
    (new QLabel(tr("month(s)"), this))->setGeometry(252, 92, 80, 20);
    previousDays_->setGeometry(30, 120, 150, 22);
    prevDays_->setGeometry(184, 119, 44, 24);
    daysSpin_->setGeometry(228, 119, 16, 24);
    (new QLabel(tr("day(s)"), this))->setGeometry(252, 122, 80, 20);

    connect(allFiles_, &QRadioButton::clicked, this, &DatePage::applyEnableRules);
    connect(findModified_, &QRadioButton::clicked, this, &DatePage::applyEnableRules);
    for (QRadioButton* b : {between_, previousMonths_, previousDays_})
        connect(b, &QRadioButton::clicked, this, &DatePage::secondGroupClicked);
    applyEnableRules();
}

QLineEdit* DatePage::countBox(const char* name, int limit) {
    auto* box = new QLineEdit("1", this);
    box->setObjectName(name);
    // The length limit holds for typing only; the spin buttons may go further.
    connect(box, &QLineEdit::textEdited, box, [box](const QString& typed) {
        if (typed.size() > kCountBoxMaxLength)
            box->setText(typed.left(kCountBoxMaxLength));
    });
    connect(box, &QLineEdit::textChanged, box, [box, limit](const QString& now) {
        if (const auto corrected = correctedCountText(now.toStdString(), limit))
            box->setText(QString::fromStdString(*corrected));
    });
    return box;
}

void DatePage::secondGroupClicked() {
    findModified_->setChecked(true);
    applyEnableRules();
}

void DatePage::applyEnableRules() {
    bool dates = false, months = false, days = false;
    if (allFiles_->isChecked()) {
        // everything off
    } else if (findModified_->isChecked()) {
        if (!between_->isChecked() && !previousMonths_->isChecked() && !previousDays_->isChecked())
            between_->setChecked(true);
        dates = between_->isChecked();
        months = previousMonths_->isChecked();
        days = previousDays_->isChecked();
    } else {
        return;
    }
    dateStart_->setEnabled(dates);
    dateEnd_->setEnabled(dates);
    prevMonths_->setEnabled(months);
    monthsSpin_->setEnabled(months);
    prevDays_->setEnabled(days);
    daysSpin_->setEnabled(days);
}

void DatePage::saveState(SavedSearchHeader& header) const {
    header.allFiles = allFiles_->isChecked();
    header.findAllModified = findModified_->isChecked();
    header.between = between_->isChecked();
    header.dateStartText = localBytes(dateStart_->text());
    header.dateEndText = localBytes(dateEnd_->text());
    header.previousMonths = previousMonths_->isChecked();
    header.prevMonthsText = localBytes(prevMonths_->text());
    header.previousDays = previousDays_->isChecked();
    header.prevDaysText = localBytes(prevDays_->text());
}

void DatePage::loadState(const SavedSearchHeader& header) {
    setCheckStates({{allFiles_, header.allFiles},
                    {findModified_, header.findAllModified},
                    {between_, header.between},
                    {previousMonths_, header.previousMonths},
                    {previousDays_, header.previousDays}});
    dateStart_->setText(fromLocalBytes(header.dateStartText));
    dateEnd_->setText(fromLocalBytes(header.dateEndText));
    prevMonths_->setText(fromLocalBytes(header.prevMonthsText));
    prevDays_->setText(fromLocalBytes(header.prevDaysText));
    applyEnableRules();
}

void DatePage::chooseBetween() {
    between_->setChecked(true);
    secondGroupClicked();
}

void DatePage::setDefaults(DateUtil::CivilDate today) {
    allFiles_->setChecked(true);
    applyEnableRules();
    const DefaultDates dates = defaultDates(today);
    dateEnd_->setText(text(dateBoxText(dates.end)));
    dateStart_->setText(text(dateBoxText(dates.start)));
}

void DatePage::fillForm(CriteriaForm& form) const {
    form.findAllModified = findModified_->isChecked();
    form.between = between_->isChecked();
    form.previousMonths = previousMonths_->isChecked();
    form.previousDays = previousDays_->isChecked();
    form.dateStartText = dateStart_->text().toStdString();
    form.dateEndText = dateEnd_->text().toStdString();
    form.prevMonthsText = prevMonths_->text().toStdString();
    form.prevDaysText = prevDays_->text().toStdString();
}

} // namespace finder

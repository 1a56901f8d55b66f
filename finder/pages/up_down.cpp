#include "up_down.h"

#include "DateUtil.h"

#include <QLineEdit>
#include <QToolButton>
#include <algorithm>

namespace finder {

UpDown::UpDown(QLineEdit* buddy, int minimum, int maximum, int step, QWidget* parent)
    : QWidget(parent), buddy_(buddy), up_(new QToolButton(this)), down_(new QToolButton(this)),
      minimum_(minimum), maximum_(maximum), step_(step) {
    for (QToolButton* b : {up_, down_}) {
        b->setAutoRepeat(true);
        b->setFocusPolicy(Qt::NoFocus);
    }
    up_->setArrowType(Qt::UpArrow);
    down_->setArrowType(Qt::DownArrow);
    connect(up_, &QToolButton::clicked, this, [this] { stepBy(1); });
    connect(down_, &QToolButton::clicked, this, [this] { stepBy(-1); });
}

void UpDown::stepBy(int steps) {
    const int current = DateUtil::leadingInteger(buddy_->text().toStdString());
    const long long next = static_cast<long long>(current) + static_cast<long long>(steps) * step_;
    const int clamped = static_cast<int>(std::clamp<long long>(next, minimum_, maximum_));
    buddy_->setText(QString::number(clamped));
}

void UpDown::resizeEvent(QResizeEvent*) {
    const int half = height() / 2;
    up_->setGeometry(0, 0, width(), half);
    down_->setGeometry(0, half, width(), height() - half);
}

} // namespace finder

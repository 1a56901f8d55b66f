#include "globe_animation.h"

#include "globe_frames.h"

#include <QLabel>
#include <QTimer>
#include <QWidget>

namespace finder {
namespace {
constexpr int kFrameInterval = 150; // milliseconds between frames
} // namespace

GlobeAnimation::GlobeAnimation(QWidget* parent, int top, int size)
    : QObject(parent), timer_(new QTimer(this)) {
    const std::vector<QPixmap> pictures = drawGlobeFrames();
    for (int i = 0; i < kGlobeFrameCount; ++i) {
        auto* frame = new QLabel(parent);
        frame->setObjectName(QStringLiteral("Globe%1").arg(i + 1));
        frame->setPixmap(pictures[static_cast<std::size_t>(i)]);
        frame->setGeometry(0, top, size, size);
        frame->hide();
        frames_.push_back(frame);
    }
    timer_->setObjectName("Timer1");
    timer_->setInterval(kFrameInterval);
    connect(timer_, &QTimer::timeout, this, &GlobeAnimation::ticked);
    frames_.front()->show();
}

void GlobeAnimation::start() {
    timer_->start();
}

void GlobeAnimation::stop() {
    timer_->stop();
}

void GlobeAnimation::advance() {
    show((index_ + 1) % kGlobeFrameCount);
}

void GlobeAnimation::show(int index) {
    frames_[static_cast<std::size_t>(index_)]->hide();
    index_ = index;
    frames_[static_cast<std::size_t>(index_)]->show();
}

} // namespace finder

#include "finder/hand_off.h"

#include <QCoreApplication>
#include <QEvent>
#include <QMetaObject>
#include <QObject>
#include <QThread>
#include <QTimer>

namespace finder {
namespace {

// Milliseconds a posted work waits, so rows reach a window a few times a
// second in batches instead of one by one.
constexpr int kPostDelay = 100;

class DirectHandOff : public HandOff {
public:
    void run(const std::function<void()>& work) override { work(); }
    void post(std::function<void()> work) override { work(); }
};

class EventLoopHandOff : public HandOff {
public:
    explicit EventLoopHandOff(QObject* receiver) : receiver_(receiver) {}
    void run(const std::function<void()>& work) override {
        if (QThread::currentThread() == receiver_->thread())
            work();
        else
            QMetaObject::invokeMethod(receiver_, work, Qt::BlockingQueuedConnection);
    }
    void post(std::function<void()> work) override {
        QObject* receiver = receiver_;
        QMetaObject::invokeMethod(
            receiver_,
            [receiver, work = std::move(work)] { QTimer::singleShot(kPostDelay, receiver, work); },
            Qt::QueuedConnection);
    }
    void serve() override { QCoreApplication::sendPostedEvents(receiver_, QEvent::MetaCall); }

private:
    QObject* receiver_;
};

} // namespace

std::unique_ptr<HandOff> directHandOff() {
    return std::make_unique<DirectHandOff>();
}

std::unique_ptr<HandOff> eventLoopHandOff(QObject* receiver) {
    return std::make_unique<EventLoopHandOff>(receiver);
}

} // namespace finder

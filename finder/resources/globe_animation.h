#pragma once
// The turning globe that shows a search is under way: the fifteen frames
// Globe1 to Globe15 at one place below the buttons, and Timer1, which shows
// the next frame every 150 ms while it runs.
#include <QObject>
#include <vector>

class QLabel;
class QTimer;
class QWidget;

namespace finder {

class GlobeAnimation : public QObject {
    Q_OBJECT
public:
    // Frames are made children of `parent` at (0, top); frame 0 is shown.
    GlobeAnimation(QWidget* parent, int top, int size);

    void start();
    void stop(); // the frame reached stays shown
    // Shows the frame after the current one, the first after the last.
    void advance();
    // Back to the first frame.
    void rewind() { show(0); }
    int index() const { return index_; }

signals:
    void ticked();

private:
    void show(int index);

    std::vector<QLabel*> frames_;
    QTimer* timer_;
    int index_ = 0;
};

} // namespace finder

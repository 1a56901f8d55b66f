#pragma once
// Drags result rows out to the desktop: the data object and drop source run
// inside the toolkit's modal drag, with copy as the only action.
#include "finder/found_file.h"

#include <platform/com.h>

#include <QObject>
#include <vector>

class QWidget;

namespace finder {

// Runs the drag of `selectedRows` (list order) from `source` and returns when
// it is over: DRAGDROP_S_DROP when a target took the files,
// DRAGDROP_S_CANCEL when none did or the drag was cancelled, a failure code
// when no drag could start. Afterwards the source's window shows the
// default cursor again.
platform::HRESULT runResultDrag(QWidget* source, const std::vector<RowTexts>& selectedRows);

// Asks the drop source about every mouse and key event of a running drag. A
// button release it answers "go on" to (another button still down) is kept
// from the drag, so it does not drop; escape cancels.
class DropSourceFilter : public QObject {
public:
    explicit DropSourceFilter(platform::IDropSource* dropSource, QObject* parent = nullptr);

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    platform::IDropSource* dropSource_;
};

} // namespace finder

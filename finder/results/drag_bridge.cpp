// The drag of result rows on the toolkit's drag: the data object offered
// through a MIME data bridge, the drop source consulted on the drag's events.
#include "drag_bridge.h"

#include "data_object.h"
#include "drop_source.h"
#include "result_mime_data.h"

#include <platform/trace.h>

#include <QApplication>
#include <QDrag>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTimer>
#include <QWidget>
#include <new>

namespace finder {

using namespace platform;

namespace {

DWORD keyStateOf(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers) {
    DWORD state = 0;
    state |= buttons.testFlag(Qt::LeftButton) ? MK_LBUTTON : 0;
    state |= buttons.testFlag(Qt::RightButton) ? MK_RBUTTON : 0;
    state |= buttons.testFlag(Qt::MiddleButton) ? MK_MBUTTON : 0;
    state |= modifiers.testFlag(Qt::ShiftModifier) ? MK_SHIFT : 0;
    state |= modifiers.testFlag(Qt::ControlModifier) ? MK_CONTROL : 0;
    state |= modifiers.testFlag(Qt::AltModifier) ? MK_ALT : 0;
    return state;
}

// The modal drag loop with copy as the only effect.
HRESULT doDragDrop(QWidget* source, IDataObject* data, IDropSource* dropSource) {
    if (source == nullptr || data == nullptr || dropSource == nullptr)
        return E_INVALIDARG;
    auto* drag = new QDrag(source); // the toolkit deletes it when the drop is over
    drag->setMimeData(new ResultMimeData(data));
    DropSourceFilter filter(dropSource);
    QObject::connect(drag, &QDrag::actionChanged, &filter, [dropSource](Qt::DropAction action) {
        dropSource->GiveFeedback(action == Qt::CopyAction ? DROPEFFECT_COPY : DROPEFFECT_NONE);
    });
    // Installed once the drag loop runs, so it sees events before the drag does.
    QTimer::singleShot(0, &filter, [&filter] { qApp->installEventFilter(&filter); });
    switch (drag->exec(Qt::CopyAction, Qt::CopyAction)) {
    case Qt::CopyAction:
        return DRAGDROP_S_DROP;
    case Qt::IgnoreAction:
        return DRAGDROP_S_CANCEL;
    default:
        return S_OK;
    }
}

} // namespace

DropSourceFilter::DropSourceFilter(IDropSource* dropSource, QObject* parent)
    : QObject(parent), dropSource_(dropSource) {}

bool DropSourceFilter::eventFilter(QObject*, QEvent* event) {
    switch (event->type()) {
    case QEvent::MouseMove:
    case QEvent::MouseButtonRelease: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        const HRESULT answer =
            dropSource_->QueryContinueDrag(false, keyStateOf(mouse->buttons(), mouse->modifiers()));
        return event->type() == QEvent::MouseButtonRelease && answer == S_OK;
    }
    case QEvent::KeyPress: {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Escape)
            dropSource_->QueryContinueDrag(
                true, keyStateOf(QGuiApplication::mouseButtons(), key->modifiers()));
        return false; // the drag cancels on escape itself
    }
    default:
        return false;
    }
}

HRESULT runResultDrag(QWidget* source, const std::vector<RowTexts>& selectedRows) {
    ComRef<CImpIDataObject> object(new (std::nothrow) CImpIDataObject(selectedRows));
    ComRef<IDataObject> data;
    if (!object || FAILED(object->QueryInterface(IID_IDataObject, data.putVoid())))
        return E_OUTOFMEMORY;
    offerDropFormats(data.get());

    ComRef<CDropSource> sourceObject(new (std::nothrow) CDropSource);
    ComRef<IDropSource> dropSource;
    if (sourceObject &&
        SUCCEEDED(sourceObject->QueryInterface(IID_IDropSource, dropSource.putVoid())))
        debugTrace("Drop Source \n");

    const HRESULT result = doDragDrop(source, data.get(), dropSource.get());
    if (FAILED(result))
        debugTrace("Drag Drop failed \n");
    debugTrace(result == DRAGDROP_S_DROP     ? "DRAGDROP_S_DROP\n"
               : result == DRAGDROP_S_CANCEL ? "DRAGDROP_S_CANCEL\n"
                                             : "UNKNOWN\n");

    // A target that still holds the data object keeps it alive.
    data.reset();
    object.reset();
    dropSource.reset();
    sourceObject.reset();
    if (source != nullptr)
        source->window()->unsetCursor();
    return result;
}

} // namespace finder

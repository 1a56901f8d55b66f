#pragma once
// The message-box presenter of the window programs (library platform_qt).

namespace platform {

// Makes messageBox() show a modal QMessageBox with the request's title,
// text, icon and buttons, owned by the request's QWidget (or by none).
// Boxes asked for from another thread are shown on the window thread.
void installQtMessageBoxPresenter();

} // namespace platform

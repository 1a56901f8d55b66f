#pragma once
// The dialog library: the program's About box.

extern "C" {

// Shows a modal About box titled after `title` with the program's name and
// `version`. Needs a running Qt application (one is made for the call when
// none exists). 1 when the box was shown, 0 when it could not be.
int KVRDialogAbout(const char* title, const char* version);

} // extern "C"

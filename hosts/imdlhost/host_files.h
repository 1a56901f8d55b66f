#pragma once
// The host's file procedures handed to the plug-in: plain POSIX files.
// A file value is the descriptor plus one, so that 0 always means "none".
#include "rastrel/imdl.h"

namespace imdlhost {

const rastrel::HostFileProcs& hostFileProcs();

} // namespace imdlhost

#pragma once
// The GUI's message sink and UI poster: boxes on the UI thread, posted from workers.
#include "platform/Message.h"

namespace platform {

// The wx box style for a message: an OK button and exactly the icon asked for (none for
// MessageIcon::None, where wx would otherwise add an information icon).
long WxMessageBoxStyle(MessageIcon icon);

// Installs the wx message sink and the CallAfter poster. Call once after the wxApp exists.
void InstallWxMessageSink();

}  // namespace platform

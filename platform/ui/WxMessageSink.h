#pragma once
// The GUI's message sink and UI poster: boxes on the UI thread, posted from workers.
namespace platform {

// Installs the wx message sink and the CallAfter poster. Call once after the wxApp exists.
void InstallWxMessageSink();

}  // namespace platform

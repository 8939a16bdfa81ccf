#pragma once
// The web engine of the program: loaded from its plugin beside the program the first
// time a window asks for it, never before (see IWebEngine.h), and then kept for the
// rest of the run.
//
// The engine cannot be had when the plugin is missing or does not load, when a test
// program refused it, or when the program runs as root with Chromium's sandbox on
// (Chromium refuses to start there and would end the program): the windows then do
// without it.

#include <QString>

#include "gui/IWebEngine.h"

namespace qm {

// Called before the application object is made: the engine shares its drawing
// contexts with the windows' (Qt asks for this before the first window exists).
// Loads nothing.
void PrepareWebEngine();

// The engine, loaded now if it was not yet; nullptr when it cannot be had.
IWebEngine* WebEngine();
// Why there is no engine; empty while there is, or may be, one.
QString WebEngineUnavailableReason();
// Whether the plugin has been loaded in this run.
bool WebEngineLoaded();
// Refuses the engine from now on, for reason (test programs of the window alone).
void RefuseWebEngine(const QString& reason);

// The scheme of the preview's pages. Its requests are answered by the sources added
// here, the one added last asked first; a source is asked with the request's path.
inline constexpr char kPreviewScheme[] = "quillamere-preview";
void AddPreviewSource(const void* owner, TWebResourceSource source);
void RemovePreviewSource(const void* owner);

}  // namespace qm

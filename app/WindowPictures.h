#pragma once
// Pictures of the program's own windows on the offscreen platform (the learning material's and the
// gallery's): a window is grabbed only once the renderer has settled it, so that two runs give the
// same picture, and each picture's run is unwound before the next one starts.
#include <memory>

class Renderer;

// The open window titled `title` (nullptr: the newest open one) once the renderer is idle and the
// window has kept its place and size past the pause after which the renderer reports a window's
// placement to its owner (whose answer may still change the window); 0 when that did not happen
// within `timeoutMs`.
int SettledWindow(Renderer& renderer, const char* title, int timeoutMs);

// Ends a picture's run: the renderer goes (threads that still wait are unwound), the project
// closes, the program shuts down, its files are closed and its hooks forgotten. The layers stay
// registered.
void EndPictureRun(std::unique_ptr<Renderer>& renderer);

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

// The program's files as the start-up names them, in the current directory (a picture run's
// scratch program folder): the locale, the record files and the message dialog.
void UseProgramFilesHere();

// The defaults records of the constraints and criteria and their warning and error limits read as
// the start-up reads them, the RB and KRI buffers set to the defaults (for windows that edit
// them). Needs the program's files named.
void ReadDefaultRecords();

// Ends a picture's run: the renderer goes (threads that still wait are unwound), the project
// closes, the program shuts down, its files are closed and its hooks forgotten. The layers stay
// registered.
void EndPictureRun(std::unique_ptr<Renderer>& renderer);

#pragma once
// The project manager window: the project tree and the worksheet commands as menu items and
// buttons. It runs on a thread of its own, started by GlobalProjektmanager.Run.
#include <string>

// The window procedure; `parameter` is unused (the window belongs to GlobalProjektmanager).
void Projektmanager(const std::string& parameter);

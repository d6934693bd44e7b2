#pragma once
// The framework's levels: what a handler, an access object or the error object tells its caller.
//   0 go on, 3 the window leaves its event loop (or a file cannot be opened, or a fatal message
//   was shown), 4 a question was answered "Nein", 5 the event's default handling is skipped (or
//   nothing was read, or a notice was shown).
constexpr int LEVEL_BENIGN = 0;
constexpr int LEVEL_FATAL = 3;
constexpr int LEVEL_CANCEL = 4;
constexpr int LEVEL_NOTIFY = 5;

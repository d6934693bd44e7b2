#pragma once
// The whole content of a file the program reads at start-up and after (its settings, its language
// file), taken only from a regular file: opening a named pipe for reading would wait for a writer
// for good, a device may never end. Opened without waiting, looked at, then read.
#include <string>

enum class RegularFileRead {
    Ok,
    Missing,      // nothing under the name
    Unopened,     // something there that cannot be opened (no permission, ...)
    NotRegular,   // a named pipe, a folder or a device: not read
    Unread,       // opened, but reading failed
};

// `content` holds the file's bytes for Ok, nothing otherwise.
RegularFileRead ReadRegularFile(const std::string& path, std::string& content);

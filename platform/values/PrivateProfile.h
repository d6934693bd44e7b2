#pragma once
// INI files in the private-profile manner: "[section]" lines, each followed by "key=value" lines.
//
// - Section and key names are compared without regard to case (the locale's case pairs) and
//   without the blanks around them; the first section and the first key of a name count.
// - A missing file, section or key reads as the default. A file that exists but cannot be read is
//   never written over: writes to it fail and leave it alone. So is anything but a regular file
//   (a named pipe, a folder, a device): it is never waited for, read or replaced. A link to a
//   regular file is read and written through, and stays a link.
// - Every write reaches the file at once. The new contents go to a temporary file in the same
//   folder that then replaces the old file in one step, so a crash never leaves half a file.
// - Lines that are not ours (comments, unknown keys) are kept as they are.
// - Contents are UTF-8; lines may end in LF or CR LF.
// - Values are read without the blanks around them; a value in double quotes loses the quotes.
//   A value that would lose blanks or quotes that way is written in quotes, so it reads back
//   as it was written; a line break in a value is written as a blank (it would start a new line).
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

constexpr std::size_t kProfileNameMax = 63;     // characters of a section or key name; more are cut off
constexpr std::size_t kProfileValueMax = 1023;  // characters of a value read; more are cut off

// The value, or the default when the file, the section or the key is missing.
std::string ProfileGetString(std::string_view section, std::string_view key, std::string_view defaultValue,
                             const std::string& file);
// The value as a whole number: the default when missing, 0 when it does not begin with a number.
long ProfileGetInt(std::string_view section, std::string_view key, long defaultValue, const std::string& file);
// The key names of a section in file order (each name once, as first written); empty when missing.
std::vector<std::string> ProfileGetKeys(std::string_view section, const std::string& file);
// Sets the key, creating the section and the file as needed. False when the file could not be
// written or a name is unusable (empty, or holding "=", "]" or a line break); the file is then
// as it was.
bool ProfileWriteString(std::string_view section, std::string_view key, std::string_view value,
                        const std::string& file);
// Removes the key, or the section with all its keys; true also when there was nothing to remove.
bool ProfileDeleteKey(std::string_view section, std::string_view key, const std::string& file);
bool ProfileDeleteSection(std::string_view section, const std::string& file);

#pragma once
// Text in record fields and in files of the old format is Windows-1252; in memory it is UTF-8.
#include <string>
#include <string_view>

// UTF-8 to Windows-1252. A character the code page lacks, and every malformed UTF-8 sequence,
// becomes "?".
std::string Utf8ToCp1252(std::string_view utf8);

// Windows-1252 to UTF-8. The five bytes the code page leaves undefined (81h, 8Dh, 8Fh, 90h, 9Dh)
// map to the control characters of the same number, as Windows does, so every byte survives a
// round trip.
std::string Cp1252ToUtf8(std::string_view cp1252);

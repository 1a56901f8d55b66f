#pragma once
// How a name read from the file system is shown. Names are bytes: most are
// UTF-8, but disks and archives from elsewhere carry names in the 8-bit code
// page of the system that wrote them. The rows keep the bytes as they are;
// only what is shown is decoded.
#include <QString>

#include <string_view>

namespace finder {

// The text decoded as UTF-8, each byte that is not part of a valid UTF-8
// sequence read as a Windows-1252 character instead, so that such a name is
// shown legibly and two names that differ in those bytes look different.
QString displayText(std::string_view bytes);

} // namespace finder

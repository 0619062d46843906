// Which file a location names: a path as it is, or a "file:" URL. Nothing
// else may be read (the reader has no network access).
#ifndef ZVXML_PLATFORM_SAX_SAX_LOCATION_H
#define ZVXML_PLATFORM_SAX_SAX_LOCATION_H

#include <string>

namespace ZVXML {
namespace platform {

// The file system path (UTF-8) of `location`. A "file:" URL may name no host
// or "localhost" and has its %XX escapes decoded; a plain path is taken as
// it is. Throws SaxPlatformError naming the location and the reason for any
// other scheme, another host, or a path that cannot name a file.
std::string SaxLocalPath(const std::wstring& location);

} // namespace platform
} // namespace ZVXML

#endif

// Narrow-to-wide conversion used by ToWString(const char*).
#ifndef ZVXML_FOUNDATION_MBS_TO_WCS_H
#define ZVXML_FOUNDATION_MBS_TO_WCS_H

namespace ZVXML {

// Converts the NUL-terminated UTF-8 `text` into `buffer`, which holds
// `capacity` wide characters, and always NUL-terminates it (when capacity > 0).
// Invalid bytes become U+FFFD; text that does not fit is cut. Returns the
// number of characters written, without the NUL.
int stringCnv_mbsToWcs(const char* text, wchar_t* buffer, int capacity);

} // namespace ZVXML

#endif

// Versions as numbers: "01.100" is a later minor version than "01.99",
// which a comparison of the texts would not say.
#ifndef ZVXML_SCHEMA_VERSION_NUMBERS_H
#define ZVXML_SCHEMA_VERSION_NUMBERS_H

namespace ZVXML {
namespace detail {

struct VersionNumbers {
    unsigned long major = 0;
    unsigned long minor = 0;
};

// The numbers of a text CZVSchema::ParseVersionString accepts; false, with
// nothing thrown or logged, for any other text (NULL included).
bool ReadVersionNumbers(const wchar_t* text, VersionNumbers& version);

// Whether a schema at version `available` serves a request for `requested`:
// the same major version and a minor one at least as recent.
inline bool Serves(const VersionNumbers& available, const VersionNumbers& requested)
{
    return available.major == requested.major && available.minor >= requested.minor;
}

} // namespace detail
} // namespace ZVXML

#endif

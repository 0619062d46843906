// The limits both readers keep: the deepest nesting of elements and the
// longest text between two tags.
//
// The push parser behind the streaming reader leaves nesting unbounded, and
// libxml2's own limit on the tree it builds lets one level more through and
// names in its message an option no host can set. Both parsers keep this
// limit instead, refuse the same documents with the same message, and so a
// document that loads as a tree also streams, and the other way round.
#ifndef ZVXML_PLATFORM_READER_LIMITS_H
#define ZVXML_PLATFORM_READER_LIMITS_H

#include <cstddef>

namespace ZVXML {
namespace platform {

constexpr int kMaxElementDepth = 256;
constexpr const char* kTooDeepMessage = "Excessive depth in document: more than 256 nested elements";

// The longest text between two tags, in decoded bytes. libxml2 keeps this
// limit for a tree only while it reads a text whole (it lets a longer text
// through when it decodes a file in pieces), and not at all for a push
// parse whose handler collects the pieces; both readers keep it themselves.
constexpr std::size_t kMaxTextRun = 10000000;
constexpr const char* kTextTooLongMessage = "Text between two tags is longer than 10000000 bytes";

// What a writer puts into one start tag at the most. libxml2 refuses a start
// tag once it has to look more than 10,000,000 bytes ahead, counting what it
// still holds from before the tag; 64 KiB less leaves room for that.
constexpr std::size_t kMaxWrittenStartTag = kMaxTextRun - 64 * 1024;

} // namespace platform
} // namespace ZVXML

#endif

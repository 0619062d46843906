// The deepest nesting of elements a document may have.
//
// The push parser behind the streaming reader leaves nesting unbounded, and
// libxml2's own limit on the tree it builds lets one level more through and
// names in its message an option no host can set. Both parsers keep this
// limit instead, refuse the same documents with the same message, and so a
// document that loads as a tree also streams, and the other way round.
#ifndef ZVXML_PLATFORM_DEPTH_LIMIT_H
#define ZVXML_PLATFORM_DEPTH_LIMIT_H

namespace ZVXML {
namespace platform {

constexpr int kMaxElementDepth = 256;
constexpr const char* kTooDeepMessage = "Excessive depth in document: more than 256 nested elements";

} // namespace platform
} // namespace ZVXML

#endif

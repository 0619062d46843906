// Wide paths as file names.
//
// File names are UTF-8 bytes. A character with no UTF-8 form (a lone
// surrogate half, a value above U+10FFFF) would become U+FFFD on the way and
// so name another file, which a read or a write would then use in silence:
// such a path is refused instead.
#ifndef ZVXML_FOUNDATION_FILE_NAME_H
#define ZVXML_FOUNDATION_FILE_NAME_H

#include <string>
#include <string_view>

namespace ZVXML {

// Why `path` cannot name a file ("its name holds U+D800, which no file name
// can hold"), or empty when it can.
std::wstring FileNameProblem(std::wstring_view path);

} // namespace ZVXML

#endif

// Where the file of a referenced schema is looked for: the current directory,
// then the folders of ZVSCHEMA_PATH, then the reference search path of the
// load.
#ifndef ZVXML_SCHEMAXML_REFERENCE_SEARCH_H
#define ZVXML_SCHEMAXML_REFERENCE_SEARCH_H

#include <string>
#include <vector>

namespace ZVXML {

struct ReferenceSearchList {
    // In search order. ZVSCHEMA_PATH and the search path are split
    // at ";" and ":"; empty entries are dropped.
    std::vector<std::wstring> folders;
    // The list as the not-found message shows it: the current directory,
    // ";" and ZVSCHEMA_PATH as it stands, ";" and the search path.
    std::wstring text;
};

// Reads the current directory and the environment now; texts of any length.
ReferenceSearchList BuildReferenceSearchList(const std::wstring& searchPath);

// The path of `fileName` in the first folder that holds such a file (not a
// directory); empty when none does.
std::wstring FindInFolders(const std::vector<std::wstring>& folders, const std::wstring& fileName);

} // namespace ZVXML

#endif

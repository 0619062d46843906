// Where the file of a referenced schema is looked for: the current directory,
// then the folders of ZVSCHEMA_PATH, then the referencing schema's own
// reference search path.
#ifndef ZVXML_SCHEMAXML_REFERENCE_SEARCH_H
#define ZVXML_SCHEMAXML_REFERENCE_SEARCH_H

#include <string>
#include <vector>

namespace ZVXML {

class CZVSchema;

struct ReferenceSearchList {
    // In search order. ZVSCHEMA_PATH and the schema's search path are split
    // at ";" and ":"; empty entries are dropped.
    std::vector<std::wstring> folders;
    // The list as the not-found message shows it: the current directory,
    // ";" and ZVSCHEMA_PATH as it stands, ";" and the schema's search path.
    std::wstring text;
};

// Reads the current directory and the environment now; texts of any length.
ReferenceSearchList BuildReferenceSearchList(const CZVSchema& schema);

// The path of `fileName` in the first folder that holds such a file (not a
// directory); empty when none does.
std::wstring FindInFolders(const std::vector<std::wstring>& folders, const std::wstring& fileName);

} // namespace ZVXML

#endif

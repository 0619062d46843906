// The dump file of a document text that was not well-formed, kept for the
// host to look at: a new file in the temporary folder, named by a new GUID
// and ending in ".zvinstance.xml", holding one header comment line with the
// error message and then the document text, in UTF-8. Never deleted by the
// library.
#ifndef ZVXML_INSTANCEXML_INSTANCE_DUMP_FILE_H
#define ZVXML_INSTANCEXML_INSTANCE_DUMP_FILE_H

#include <string>
#include <string_view>

namespace ZVXML {

// Writes the dump and returns its file name. ZVXMLRuntimeError naming the
// file when it cannot be created or written.
std::wstring WriteInstanceDump(const std::wstring& message, std::wstring_view document);

} // namespace ZVXML

#endif

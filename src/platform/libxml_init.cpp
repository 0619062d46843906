#include "platform/libxml_resources.h"

#include <mutex>

namespace ZVXML {
namespace platform {

void EnsureLibxmlInitialized()
{
    // xmlCleanupParser is never called: the host or another library may use
    // libxml2 too, and its global state must outlive our documents.
    static std::once_flag once;
    std::call_once(once, [] { xmlInitParser(); });
}

} // namespace platform
} // namespace ZVXML

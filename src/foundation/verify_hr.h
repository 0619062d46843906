// The rule by which a failed platform call becomes an exception.
#ifndef ZVXML_FOUNDATION_VERIFY_HR_H
#define ZVXML_FOUNDATION_VERIFY_HR_H

namespace ZVXML {
namespace detail {

// Writes "Error at <file> (<line>): <callText>" to standard output and throws
// ZVXMLRuntimeError with that message and an empty location.
[[noreturn]] void FailCheckedCall(const char* file, int line, const wchar_t* callText);

} // namespace detail
} // namespace ZVXML

// Checks a platform-layer status (0 is success; any other value, including a
// positive one, is a failure). `callText` names the call in the message.
#define VERIFY_HR(status, callText)                                                                                    \
    do {                                                                                                               \
        if (static_cast<long>(status) != 0) {                                                                          \
            ::ZVXML::detail::FailCheckedCall(__FILE__, __LINE__, callText);                                            \
        }                                                                                                              \
    } while (0)

#endif

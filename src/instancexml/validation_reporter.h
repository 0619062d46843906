// Hands findings to the host's callback and counts them; ends a validation
// the host asked to stop.
#ifndef ZVXML_INSTANCEXML_VALIDATION_REPORTER_H
#define ZVXML_INSTANCEXML_VALIDATION_REPORTER_H

#include <zvxml/instancevalidation.h>

#include <cstddef>
#include <string>
#include <string_view>

namespace ZVXML {

// Thrown by Report once the callback returned non-zero; caught by the entry
// point that started the validation.
struct ValidationStopped {};

// Where an instance is and what it is; copied into each of its findings.
// The texts are views: they must outlive the reports about the instance.
struct FindingSubject {
    std::wstring_view file;
    long line = 0;
    long column = 0;
    std::wstring_view className;
    std::wstring_view instanceID;
};

class ValidationReporter {
public:
    ValidationReporter(ZVValidationCallback callback, void* context) : m_callback(callback), m_context(context) {}

    void Report(const FindingSubject& subject, std::wstring property, std::wstring message)
    {
        if (m_stopped) {
            throw ValidationStopped{};
        }
        ZVValidationFinding finding;
        finding.file = subject.file;
        finding.line = subject.line;
        finding.column = subject.column;
        finding.className = subject.className;
        finding.instanceID = subject.instanceID;
        finding.property = std::move(property);
        finding.message = std::move(message);
        ++m_count;
        if (m_callback(m_context, finding) != 0) {
            m_stopped = true;
            throw ValidationStopped{};
        }
    }

    std::size_t Count() const { return m_count; }
    bool Stopped() const { return m_stopped; }

private:
    ZVValidationCallback m_callback;
    void* m_context;
    std::size_t m_count = 0;
    bool m_stopped = false;
};

} // namespace ZVXML

#endif

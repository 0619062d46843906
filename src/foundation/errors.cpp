// The exception family: each object owns one block with its two texts and
// the place in a document where the failure was found.
#include <zvxml/errors.h>

#include "foundation/logging.h"
#include "foundation/read_position.h"

#include <memory>
#include <utility>

namespace ZVXML {

struct ZVXMLException::Texts {
    std::wstring message;
    std::wstring location;
    ReadPosition position;
};

// The position is taken before the log line goes out, so that a logging
// callback asking GetReadPosition() hears the same place.
ZVXMLException::ZVXMLException(std::wstring message, std::wstring location)
    : m_texts(new Texts{std::move(message), std::move(location), GetReadPosition()})
{
    // The log line may run out of memory; the destructor would then not run.
    std::unique_ptr<Texts> held(m_texts);
    if (m_texts->location.empty()) {
        Log(LOG_SEV_ERROR, L"Exception", m_texts->message);
    } else {
        Log(LOG_SEV_ERROR, L"Exception", m_texts->message + L" @ " + m_texts->location);
    }
    held.release();
}

ZVXMLException::ZVXMLException(const ZVXMLException& other) : m_texts(new Texts(*other.m_texts)) {}

ZVXMLException& ZVXMLException::operator=(const ZVXMLException& other)
{
    if (this != &other) {
        Texts* copy = new Texts(*other.m_texts);
        delete m_texts;
        m_texts = copy;
    }
    return *this;
}

ZVXMLException::~ZVXMLException() { delete m_texts; }

const wchar_t* ZVXMLException::Message() const { return m_texts->message.c_str(); }
const wchar_t* ZVXMLException::Location() const { return m_texts->location.c_str(); }
const wchar_t* ZVXMLException::File() const { return m_texts->position.file.c_str(); }
long ZVXMLException::Line() const { return m_texts->position.line; }
long ZVXMLException::Column() const { return m_texts->position.column; }

// Each derived class builds its base from the same texts; only the root logs.
ZVXMLLogicError::ZVXMLLogicError(std::wstring message, std::wstring location)
    : ZVXMLException(std::move(message), std::move(location))
{
}
ZVXMLLogicError::~ZVXMLLogicError() = default;

ZVXMLDomainError::ZVXMLDomainError(std::wstring message, std::wstring location)
    : ZVXMLException(std::move(message), std::move(location))
{
}
ZVXMLDomainError::~ZVXMLDomainError() = default;

ZVXMLInvalidArgument::ZVXMLInvalidArgument(std::wstring message, std::wstring location)
    : ZVXMLException(std::move(message), std::move(location))
{
}
ZVXMLInvalidArgument::~ZVXMLInvalidArgument() = default;

ZVXMLRuntimeError::ZVXMLRuntimeError(std::wstring message, std::wstring location)
    : ZVXMLException(std::move(message), std::move(location))
{
}
ZVXMLRuntimeError::~ZVXMLRuntimeError() = default;

ZVXMLFormatError::ZVXMLFormatError(std::wstring message, std::wstring location)
    : ZVXMLDomainError(std::move(message), std::move(location))
{
}
ZVXMLFormatError::~ZVXMLFormatError() = default;

} // namespace ZVXML

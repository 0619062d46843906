// GUIDs from libuuid, rendered in the 36-character lower-case form.
#include <zvxml/errors.h>
#include <zvxml/ids.h>
#include <zvxml/text.h>

#include <uuid/uuid.h>

#include <cstdio>

namespace ZVXML {
namespace {

// libuuid's random generator falls back to a pseudo-random source rather than
// failing, so these report failure only if it ever hands back the nil GUID.
bool CreateRaw(uuid_t raw)
{
    uuid_generate_random(raw);
    return uuid_is_null(raw) == 0;
}

std::wstring RawToText(const uuid_t raw)
{
    char text[37];
    uuid_unparse_lower(raw, text);
    return std::wstring(text, text + 36);
}

} // namespace

std::wstring CGUIDGenerator::GetNextID()
{
    uuid_t raw;
    if (!CreateRaw(raw)) {
        throw ZVXMLRuntimeError(L"CGUIDGenerator failed to generate a GUID.", L"");
    }
    return RawToText(raw);
}

std::wstring CreateGuid()
{
    uuid_t raw;
    if (!CreateRaw(raw)) {
        throw ZVXMLRuntimeError(L"Failed to create a new GUID!", L"");
    }
    return RawToText(raw);
}

void GenerateGUID(GUID* guid)
{
    if (guid == nullptr) {
        throw ZVXMLInvalidArgument(L"Passed NULL GUID into GenerateGUID", L"");
    }
    uuid_t raw;
    if (!CreateRaw(raw)) {
        throw ZVXMLRuntimeError(L"Failed to generate GUID",
                                ToWString(__FILE__) + L": (" + ToWString(static_cast<long>(__LINE__)) + L")");
    }
    // The text form reads the first three fields as numbers, so they hold
    // the bytes in big-endian order.
    guid->Data1 = (std::uint32_t(raw[0]) << 24) | (std::uint32_t(raw[1]) << 16) | (std::uint32_t(raw[2]) << 8) |
                  std::uint32_t(raw[3]);
    guid->Data2 = static_cast<std::uint16_t>((raw[4] << 8) | raw[5]);
    guid->Data3 = static_cast<std::uint16_t>((raw[6] << 8) | raw[7]);
    for (int i = 0; i < 8; ++i) {
        guid->Data4[i] = raw[8 + i];
    }
}

std::wstring ToWString(const GUID* guid)
{
    if (guid == nullptr) {
        return std::wstring();
    }
    char text[40];
    int length =
        std::snprintf(text, sizeof text, "%08x-%04x-%04x-%02x%02x-%02x%02x%02x%02x%02x%02x",
                      static_cast<unsigned>(guid->Data1), guid->Data2, guid->Data3, guid->Data4[0], guid->Data4[1],
                      guid->Data4[2], guid->Data4[3], guid->Data4[4], guid->Data4[5], guid->Data4[6], guid->Data4[7]);
    if (length != 36) {
        return std::wstring();
    }
    return std::wstring(text, text + 36);
}

void GenerateZVInstanceXMLIdentifier(const wchar_t* className, long id, std::wstring& result)
{
    if (className == nullptr) {
        throw ZVXMLInvalidArgument(L"Passed NULL className into GenerateZVInstanceXMLIdentifier", L"");
    }
    std::wstring encoded(className);
    EncodeToValidXmlTag(encoded);
    result = encoded;
    result.push_back(L'-');
    if (id >= 1) {
        result.append(L"YmrInstanceID-");
        result.append(ToWString(id));
    } else {
        GUID guid;
        GenerateGUID(&guid);
        result.append(ToWString(&guid));
    }
}

} // namespace ZVXML

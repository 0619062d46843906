// A host program using ZVXML the way an application would.
#include <zvxml/zvxml.h>

#include <cstdio>
#include <string>

namespace {

void PrintLog(ZVXML::LOG_SEV severity, const wchar_t* category, const wchar_t* text)
{
    std::printf("  [log %d %ls] %ls\n", static_cast<int>(severity), category, text);
}

void Show(const char* label, const std::wstring& value)
{
    std::printf("%-28s %ls\n", label, value.c_str());
}

} // namespace

int main()
{
    ZVXML::SetLoggingCallback(&PrintLog);

    std::printf("ZVXML %d.%d.%d\n\n", ZVXML_VERSION_MAJOR, ZVXML_VERSION_MINOR, ZVXML_VERSION_PATCH);

    std::wstring escaped;
    ZVXML::ConvertToXmlString(L"Pump's flow < 5 & \"rising\" \x00E9", escaped);
    Show("escaped for XML:", escaped);

    std::wstring tag = L"Flow Rate (m3/h)";
    ZVXML::EncodeToValidXmlTag(tag);
    Show("as a tag name:", tag);
    ZVXML::DecodeFromValidXmlTag(tag);
    Show("decoded again:", tag);

    std::wstring id;
    ZVXML::GenerateZVInstanceXMLIdentifier(L"Pump", 42, id);
    Show("numbered identifier:", id);
    ZVXML::GenerateZVInstanceXMLIdentifier(L"Pump", 0, id);
    Show("identifier with a GUID:", id);

    std::wstring tempName;
    ZVXML::CreateTempFileName(L".zvinstance.xml", tempName);
    Show("temporary file name:", tempName);

    std::printf("\nEvery failure is an exception, and it is logged:\n");
    try {
        std::wstring out;
        ZVXML::ConvertToXmlString(nullptr, out);
    } catch (const ZVXML::ZVXMLException& e) {
        std::printf("caught: %ls\n", e.Message());
    }

    ZVXML::SetLoggingCallback(nullptr);
    return 0;
}

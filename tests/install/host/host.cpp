// A minimal host: includes the installed header, calls into the library.
#include <zvxml/zvxml.h>

#include <cstdio>

int main()
{
    std::wstring escaped;
    ZVXML::ConvertToXmlString(L"a<b", escaped);
    try {
        throw ZVXML::ZVXMLFormatError(L"format", L"");
    } catch (const ZVXML::ZVXMLDomainError&) {
        if (escaped == L"a&lt;b") {
            std::puts("host ok");
            return 0;
        }
    }
    return 1;
}

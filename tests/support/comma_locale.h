// Switches the process to a locale whose decimal separator is a comma, for
// tests that prove the host's locale never reaches the library's numbers.
#ifndef ZVXML_TESTS_COMMA_LOCALE_H
#define ZVXML_TESTS_COMMA_LOCALE_H

#include <clocale>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace zvtest {

// Sets LC_ALL to German for its lifetime and restores the previous locale.
// When the machine has no German locale it compiles one into a private
// folder (localedef, from the C library's tools); active() tells whether
// either worked, so a test can skip cleanly.
class CommaLocale {
public:
    CommaLocale() : m_saved(std::setlocale(LC_ALL, nullptr) ? std::setlocale(LC_ALL, nullptr) : "C")
    {
        m_active = TrySet() || (Generate() && TrySet());
    }
    ~CommaLocale() { std::setlocale(LC_ALL, m_saved.c_str()); }
    CommaLocale(const CommaLocale&) = delete;
    CommaLocale& operator=(const CommaLocale&) = delete;

    bool active() const { return m_active; }

private:
    static bool TrySet()
    {
        return std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr || std::setlocale(LC_ALL, "de_DE.utf8") != nullptr;
    }
    static bool Generate()
    {
        const std::string folder = "/tmp/zvxml-test-locales-" + std::to_string(getuid());
        const std::string command = "mkdir -p " + folder + " && (test -d " + folder +
                                    "/de_DE.UTF-8 || localedef -i de_DE" + " -f UTF-8 " + folder +
                                    "/de_DE.UTF-8) >/dev/null 2>&1";
        return std::system(command.c_str()) == 0 && setenv("LOCPATH", folder.c_str(), 1) == 0;
    }

    std::string m_saved;
    bool m_active;
};

} // namespace zvtest

#endif

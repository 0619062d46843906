// Asserts the exact type and message of a library exception.
#ifndef ZVXML_TESTS_EXPECT_THROW_H
#define ZVXML_TESTS_EXPECT_THROW_H

#include <zvxml/errors.h>

#include <gtest/gtest.h>

#include <string>

// EXPECT_ZV_THROW(statement, ZVXMLDomainError, L"message") checks that the
// statement throws exactly that type (not a subclass) with that message.
#define EXPECT_ZV_THROW(statement, type, message)                                                                      \
    do {                                                                                                               \
        bool zvThrown = false;                                                                                         \
        try {                                                                                                          \
            statement;                                                                                                 \
        } catch (const type& zvError) {                                                                                \
            zvThrown = true;                                                                                           \
            EXPECT_EQ(typeid(zvError), typeid(type)) << "a subclass of " #type " was thrown";                          \
            EXPECT_EQ(std::wstring(zvError.Message()), std::wstring(message));                                         \
        } catch (const ZVXML::ZVXMLException& zvOther) {                                                               \
            ADD_FAILURE() << "another library exception: " << std::wstring(zvOther.Message()).size()                   \
                          << " chars: " << ::testing::PrintToString(std::wstring(zvOther.Message()));                  \
            zvThrown = true;                                                                                           \
        }                                                                                                              \
        if (!zvThrown) {                                                                                               \
            ADD_FAILURE() << #statement " did not throw";                                                              \
        }                                                                                                              \
    } while (0)

// Runs `body`; a library exception becomes a test failure that shows its
// message (GoogleTest only knows exceptions derived from std::exception).
template <class Body>
void ReportingLibraryErrors(Body body)
{
    try {
        body();
    } catch (const ZVXML::ZVXMLException& error) {
        ADD_FAILURE() << "library exception: " << ::testing::PrintToString(std::wstring(error.Message()));
    }
}

#endif

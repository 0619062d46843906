// libxml2 (before 2.12) allocates a thread's error handlers and other
// settings with malloc on the thread's first use of them, and hands out
// NULL when that fails. Here malloc itself fails that one allocation, on a
// fresh thread, and each operation must report running out of memory, then
// work on the next try.
#include <zvxml/dom.h>

#include "support/sanitizer.h"

#include <gtest/gtest.h>

#include <libxml/globals.h>

#include <cerrno>
#include <functional>
#include <new>
#include <thread>

#if !defined(ZVXML_TEST_UNDER_ASAN) && LIBXML_VERSION < 21200
#define ZVXML_TEST_FAILS_MALLOC 1

namespace {

thread_local bool t_failSettings = false;

bool FailsNow(std::size_t size)
{
    if (t_failSettings && size == sizeof(xmlGlobalState)) {
        t_failSettings = false; // once: libxml2 reports the failure through the same allocation
        errno = ENOMEM;
        return true;
    }
    return false;
}

} // namespace

extern "C" void* __libc_malloc(std::size_t size);
extern "C" void* __libc_calloc(std::size_t count, std::size_t size);

// The sanitizers bring their own allocator; these run only without them.
// The compiler may turn libxml2's malloc and memset into calloc.
extern "C" void* malloc(std::size_t size) { return FailsNow(size) ? nullptr : __libc_malloc(size); }
extern "C" void* calloc(std::size_t count, std::size_t size)
{
    return FailsNow(count * size) ? nullptr : __libc_calloc(count, size);
}
#endif

namespace {

// Runs `operation` on a new thread whose first allocation of libxml2's
// settings fails, then again; returns whether each attempt succeeded.
std::pair<bool, bool> OnAFreshThread(const std::function<bool()>& operation)
{
    std::pair<bool, bool> succeeded{true, true};
    std::thread([&] {
#ifdef ZVXML_TEST_FAILS_MALLOC
        t_failSettings = true;
#endif
        succeeded.first = operation();
        succeeded.second = operation();
    }).join();
    return succeeded;
}

} // namespace

TEST(AllocationFailure, LibxmlSettingsOfAFreshThreadCannotBeMade)
{
#ifndef ZVXML_TEST_FAILS_MALLOC
    GTEST_SKIP() << "malloc cannot be replaced here";
#endif
    ZVXML::XMLDocument warmUp; // libxml2 is set up on this thread
    ASSERT_TRUE(warmUp.LoadXML(L"<r/>"));

    ZVXML::XMLDocument loaded;
    const auto load = [&] {
        if (loaded.LoadXML(L"<r><a/></r>")) {
            return true;
        }
        EXPECT_EQ(loaded.ParseError().errorCode, XML_ERR_NO_MEMORY);
        return false;
    };
    EXPECT_EQ(OnAFreshThread(load), std::make_pair(false, true));

    const auto construct = [] {
        try {
            ZVXML::XMLDocument document;
            return true;
        } catch (const std::bad_alloc&) {
            return false;
        }
    };
    EXPECT_EQ(OnAFreshThread(construct), std::make_pair(false, true));

    ZVXML::XMLDocument built;
    const auto create = [&] {
        if (built.CreateElement(L"e", L"urn:x")) {
            return true;
        }
        EXPECT_EQ(built.LastError(), L"CreateElement: out of memory");
        return false;
    };
    EXPECT_EQ(OnAFreshThread(create), std::make_pair(false, true));
}

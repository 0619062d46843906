#include "faults/failing_allocator.h"

#include <libxml/xmlerror.h>
#include <libxml/xmlmemory.h>

#include <cstdlib>
#include <cstring>
#include <new>

namespace zvtest {
namespace {

// One thread at a time runs the library in these tests: plain counters do.
long g_calls = 0;
long g_failAt = 0; // 0: never
bool g_counting = false;
FailureMode g_mode = FailureMode::Once;
bool g_reached = false;
long g_escaped = 0;

// Whether this allocation fails.
bool Fails()
{
    if (!g_counting) {
        return false;
    }
    ++g_calls;
    if (g_failAt == 0) {
        return false;
    }
    const bool fails = g_calls == g_failAt || (g_mode == FailureMode::FromThenOn && g_calls > g_failAt);
    if (fails) {
        g_reached = true;
        AllocationFails();
    }
    return fails;
}

void* Allocate(std::size_t size) { return Fails() ? nullptr : std::malloc(size == 0 ? 1 : size); }
void* XmlRealloc(void* block, std::size_t size) { return Fails() ? nullptr : std::realloc(block, size); }
char* XmlStrdup(const char* text)
{
    const std::size_t size = std::strlen(text) + 1;
    void* copy = Allocate(size);
    return copy != nullptr ? static_cast<char*>(std::memcpy(copy, text, size)) : nullptr;
}

void CountStructured(void*, xmlErrorPtr) { ++g_escaped; }
void CountGeneric(void*, const char*, ...) { ++g_escaped; }

} // namespace

// A place for a debugger's breakpoint: each failing allocation passes here.
__attribute__((noinline)) void AllocationFails() { asm volatile(""); }

void InstallFailingLibxmlAllocator()
{
    xmlMemSetup(std::free, Allocate, XmlRealloc, XmlStrdup);
    xmlSetStructuredErrorFunc(nullptr, &CountStructured);
    xmlSetGenericErrorFunc(nullptr, &CountGeneric);
}

long EscapedLibxmlReports() { return g_escaped; }

Suspended::Suspended() : m_counting(g_counting) { g_counting = false; }
Suspended::~Suspended() { g_counting = m_counting; }

void StartCounting()
{
    g_calls = 0;
    g_failAt = 0;
    g_counting = true;
}

long StopCounting()
{
    g_counting = false;
    return g_calls;
}

void Arm(long call, FailureMode mode)
{
    StartCounting();
    g_failAt = call;
    g_mode = mode;
    g_reached = false;
}

bool Disarm()
{
    g_counting = false;
    g_failAt = 0;
    return g_reached;
}

} // namespace zvtest

// Every form of operator new goes through the counter.
void* operator new(std::size_t size)
{
    if (void* block = zvtest::Allocate(size)) {
        return block;
    }
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return zvtest::Allocate(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return zvtest::Allocate(size); }
void* operator new(std::size_t size, std::align_val_t alignment)
{
    if (!zvtest::Fails()) {
        const std::size_t align = static_cast<std::size_t>(alignment);
        if (void* block = std::aligned_alloc(align, (size + align - 1) / align * align)) {
            return block;
        }
    }
    throw std::bad_alloc();
}
void* operator new[](std::size_t size, std::align_val_t alignment) { return operator new(size, alignment); }
void operator delete(void* block) noexcept { std::free(block); }
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
void operator delete[](void* block, std::size_t) noexcept { std::free(block); }
void operator delete(void* block, std::align_val_t) noexcept { std::free(block); }
void operator delete[](void* block, std::align_val_t) noexcept { std::free(block); }
void operator delete(void* block, std::size_t, std::align_val_t) noexcept { std::free(block); }
void operator delete[](void* block, std::size_t, std::align_val_t) noexcept { std::free(block); }

// Allocators that fail on request: operator new (every form) and libxml2's
// allocator, counted together. A test arms the count to fail one call, or
// every call from one on, and runs the library through the failure.
#ifndef ZVXML_TESTS_FAULTS_FAILING_ALLOCATOR_H
#define ZVXML_TESTS_FAULTS_FAILING_ALLOCATOR_H

namespace zvtest {

enum class FailureMode { Once, FromThenOn }; // the chosen call only, or it and every later one

// Routes libxml2's allocations through the counting allocator, and the
// reports it would print to standard error (those no capture of the library
// takes) to a counter; call before the first parse.
void InstallFailingLibxmlAllocator();
long EscapedLibxmlReports();

// Counts allocations from now on without failing any; returns the count so
// far when stopped.
void StartCounting();
long StopCounting();

// Fails allocation number `call` (1-based, counted from now) as `mode` says;
// Disarm stops failing and returns whether the armed call was reached.
void Arm(long call, FailureMode mode);
bool Disarm();

// Called at each failing allocation: `break zvtest::AllocationFails`.
void AllocationFails();

// No allocation fails or counts while one lives: for a test's own checks
// in the middle of an armed run.
class Suspended {
public:
    Suspended();
    ~Suspended();
    Suspended(const Suspended&) = delete;
    Suspended& operator=(const Suspended&) = delete;

private:
    bool m_counting;
};

} // namespace zvtest

#endif

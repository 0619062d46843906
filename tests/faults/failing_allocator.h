// Allocators that fail on request: operator new (every form) and libxml2's
// allocator, counted together. A test arms the count to fail one call, or
// every call from one on, and runs the library through the failure.
#ifndef ZVXML_TESTS_FAULTS_FAILING_ALLOCATOR_H
#define ZVXML_TESTS_FAULTS_FAILING_ALLOCATOR_H

namespace zvtest {

enum class FailureMode {
    Once, // only the chosen call fails
    FromThenOn // the chosen call and every later one fail
};

// Routes libxml2's allocations through the counting allocator; call before
// the first parse.
void InstallFailingLibxmlAllocator();

// Counts allocations from now on without failing any; returns the count so
// far when stopped.
void StartCounting();
long StopCounting();

// Fails allocation number `call` (1-based, counted from now) as `mode` says.
void Arm(long call, FailureMode mode);
// Stops failing; returns whether the armed call was reached.
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

// Routes libxml2's reports that reach no capture of the library (those it
// would print to standard error) to a counter; returns the count so far.
void WatchEscapingLibxmlReports();
long EscapedLibxmlReports();

} // namespace zvtest

#endif

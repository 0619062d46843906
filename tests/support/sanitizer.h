// Whether this build runs under AddressSanitizer, whose shadow memory,
// quarantine and slowness change what memory and time figures mean.
#ifndef ZVXML_TESTS_SANITIZER_H
#define ZVXML_TESTS_SANITIZER_H

#if defined(__SANITIZE_ADDRESS__)
#define ZVXML_TEST_UNDER_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ZVXML_TEST_UNDER_ASAN 1
#endif
#endif

#endif

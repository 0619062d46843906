/// @file
/// ZVXML: version and build configuration.
///
/// Included first by zvxml.h; hosts do not include it on its own.
#ifndef ZVXML_CONFIG_H
#define ZVXML_CONFIG_H

/// Library version, also given by the CMake package and zvxml.pc.
///@{
#define ZVXML_VERSION_MAJOR 1
#define ZVXML_VERSION_MINOR 0
#define ZVXML_VERSION_PATCH 0
///@}
/// The version as one number: major * 10000 + minor * 100 + patch.
#define ZVXML_VERSION ((ZVXML_VERSION_MAJOR * 10000) + (ZVXML_VERSION_MINOR * 100) + ZVXML_VERSION_PATCH)

/// ZVXML_API marks what the shared library exports. The library is built with
/// hidden visibility, so everything without this mark stays internal.
#ifndef ZVXML_API
#if defined(__GNUC__) || defined(__clang__)
#define ZVXML_API __attribute__((visibility("default")))
#else
#define ZVXML_API
#endif
#endif

#if __cplusplus < 201703L
#error "ZVXML needs C++17 or later"
#endif

#endif // ZVXML_CONFIG_H

# Turns link-time optimisation on for Release builds when the toolchain
# supports it (ZVXML_LTO). Targets pick it up from
# CMAKE_INTERPROCEDURAL_OPTIMIZATION_RELEASE, static archives included
# (CMake then archives them with the compiler's own `ar`).
if(NOT ZVXML_LTO)
  return()
endif()
include(CheckIPOSupported)
check_ipo_supported(RESULT zvxml_lto_supported OUTPUT zvxml_lto_output LANGUAGES CXX)
if(zvxml_lto_supported)
  set(CMAKE_INTERPROCEDURAL_OPTIMIZATION_RELEASE ON)
else()
  message(STATUS "Link-time optimisation is not available: ${zvxml_lto_output}")
endif()

include(CMakePackageConfigHelpers)

install(TARGETS zvxml
  EXPORT zvxmlTargets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
  INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})

install(DIRECTORY ${PROJECT_SOURCE_DIR}/include/zvxml
  DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}
  FILES_MATCHING PATTERN "*.h")

install(EXPORT zvxmlTargets
  NAMESPACE zvxml::
  DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/zvxml)

configure_package_config_file(
  ${PROJECT_SOURCE_DIR}/cmake/zvxmlConfig.cmake.in
  ${PROJECT_BINARY_DIR}/zvxmlConfig.cmake
  INSTALL_DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/zvxml)

write_basic_package_version_file(
  ${PROJECT_BINARY_DIR}/zvxmlConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)

install(FILES
  ${PROJECT_BINARY_DIR}/zvxmlConfig.cmake
  ${PROJECT_BINARY_DIR}/zvxmlConfigVersion.cmake
  DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/zvxml)

# The .pc file finds its prefix relative to itself, so an installation can be
# moved or made with "cmake --install --prefix".
file(RELATIVE_PATH ZVXML_PC_TO_PREFIX
  /prefix/${CMAKE_INSTALL_LIBDIR}/pkgconfig /prefix)
configure_file(${PROJECT_SOURCE_DIR}/cmake/zvxml.pc.in ${PROJECT_BINARY_DIR}/zvxml.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/zvxml.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)

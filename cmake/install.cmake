# Installs the library with its headers, the five kernel objects, the program
# (from the top-level file), and the files through which other projects find
# them: a CMake package (find_package(lfx86_64)) and a pkg-config file.
include(CMakePackageConfigHelpers)

set(LFX_KERNEL_DIR ${CMAKE_INSTALL_LIBDIR}/lfx86_64/kernels)
set(LFX_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/lfx86_64)

install(TARGETS lfx86_64 EXPORT lfx86_64Targets
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
  PUBLIC_HEADER DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(FILES ${VEXO_KERNEL_OBJECTS} DESTINATION ${LFX_KERNEL_DIR})
install(EXPORT lfx86_64Targets NAMESPACE lfx86_64:: DESTINATION ${LFX_CMAKE_DIR})

configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/lfx86_64Config.cmake.in
  ${CMAKE_CURRENT_BINARY_DIR}/lfx86_64Config.cmake
  INSTALL_DESTINATION ${LFX_CMAKE_DIR}
  PATH_VARS LFX_KERNEL_DIR)
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/lfx86_64ConfigVersion.cmake
  VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/lfx86_64Config.cmake
              ${CMAKE_CURRENT_BINARY_DIR}/lfx86_64ConfigVersion.cmake
        DESTINATION ${LFX_CMAKE_DIR})

configure_file(${CMAKE_CURRENT_LIST_DIR}/lfx86_64.pc.in ${CMAKE_CURRENT_BINARY_DIR}/lfx86_64.pc @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/lfx86_64.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)

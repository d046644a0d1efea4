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

# The pkg-config file finds the prefix from its own place, so that the tree
# works wherever it is installed (cmake --install --prefix, a package).
file(RELATIVE_PATH LFX_PC_TO_PREFIX "/${CMAKE_INSTALL_LIBDIR}/pkgconfig" "/")
configure_file(${CMAKE_CURRENT_LIST_DIR}/lfx86_64.pc.in ${CMAKE_CURRENT_BINARY_DIR}/lfx86_64.pc @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/lfx86_64.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)

# The manual page of the program.
install(FILES ${PROJECT_SOURCE_DIR}/doc/vexo_x86_64.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# `cpack -G DEB` in the build directory: one Debian package with the program,
# its manual page, the library, its headers, the kernel objects and the files
# that find them (CMake package, pkg-config).
set(CPACK_PACKAGE_NAME vexo-x86-64)
set(CPACK_PACKAGE_VENDOR "vexo_x86_64 developers")
set(CPACK_PACKAGE_CONTACT "vexo_x86_64 maintainers <maintainers@vexo.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGE_DESCRIPTION
    "vexo_x86_64 computes pi (four arctangent formulas), e, sqrt(2) and 1/sqrt(2) to any number of radix-2, radix-10 or radix-16 digits. The package also holds the fixed-point library lfx86_64, its headers and its five x86-64 assembly kernels as object modules of their own.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
set(CPACK_DEBIAN_PACKAGE_SECTION math)
set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE amd64)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_GENERATOR DEB)
include(CPack)

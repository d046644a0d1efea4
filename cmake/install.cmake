# Installs the program with its manual page (component "program") and the
# library with its headers, the five kernel objects, and the files through
# which other projects find them: a CMake package (find_package(lfx86_64))
# and a pkg-config file (component "dev"). The manual page is installed
# gzipped, as Debian ships manual pages.
include(CMakePackageConfigHelpers)

set(LFX_KERNEL_DIR ${CMAKE_INSTALL_LIBDIR}/lfx86_64/kernels)
set(LFX_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/lfx86_64)

# ---- the program ---------------------------------------------------------------
install(TARGETS vexo_x86_64 RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT program)
# A program linked with the shared library finds it from its own place.
if(BUILD_SHARED_LIBS)
  file(RELATIVE_PATH bin_to_lib "/${CMAKE_INSTALL_BINDIR}" "/${CMAKE_INSTALL_LIBDIR}")
  set_target_properties(vexo_x86_64 PROPERTIES INSTALL_RPATH "$ORIGIN/${bin_to_lib}")
endif()

find_program(GZIP_EXECUTABLE gzip REQUIRED)
# Compresses SOURCE into build-dir/gz/NAME.gz, made by the target gzip_NAME, the way Debian wants it (best
# compression, no name or time stamp in the header) and sets OUT to it.
function(vexo_gzip source name out)
  set(plain ${CMAKE_CURRENT_BINARY_DIR}/gz/${name})
  add_custom_command(
    OUTPUT ${plain}.gz
    COMMAND ${CMAKE_COMMAND} -E copy ${source} ${plain}
    COMMAND ${GZIP_EXECUTABLE} -9nf ${plain}
    DEPENDS ${source}
    COMMENT "Compressing ${name}"
    VERBATIM)
  add_custom_target(gzip_${name} ALL DEPENDS ${plain}.gz)
  set(${out} ${plain}.gz PARENT_SCOPE)
endfunction()
vexo_gzip(${PROJECT_SOURCE_DIR}/doc/vexo_x86_64.1 vexo_x86_64.1 VEXO_MANPAGE_GZ)
install(FILES ${VEXO_MANPAGE_GZ} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT program)

# ---- the library -----------------------------------------------------------------
install(TARGETS lfx86_64 EXPORT lfx86_64Targets
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT dev
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT dev
  PUBLIC_HEADER DESTINATION ${CMAKE_INSTALL_INCLUDEDIR} COMPONENT dev)
install(FILES ${VEXO_KERNEL_OBJECTS} DESTINATION ${LFX_KERNEL_DIR} COMPONENT dev)
install(EXPORT lfx86_64Targets NAMESPACE lfx86_64:: DESTINATION ${LFX_CMAKE_DIR} COMPONENT dev)

configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/lfx86_64Config.cmake.in
  ${CMAKE_CURRENT_BINARY_DIR}/lfx86_64Config.cmake
  INSTALL_DESTINATION ${LFX_CMAKE_DIR}
  PATH_VARS LFX_KERNEL_DIR)
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/lfx86_64ConfigVersion.cmake
  VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/lfx86_64Config.cmake
              ${CMAKE_CURRENT_BINARY_DIR}/lfx86_64ConfigVersion.cmake
        DESTINATION ${LFX_CMAKE_DIR} COMPONENT dev)

# The pkg-config file names the prefix that it is installed under, as an
# absolute path without `..`: the prefix is written at install time, so
# `cmake --install --prefix`, DESTDIR and the packages all get their own.
# The template keeps its @LFX_PC_PREFIX@ through the configure step.
set(LFX_PC_PREFIX "@LFX_PC_PREFIX@")
configure_file(${CMAKE_CURRENT_LIST_DIR}/lfx86_64.pc.in ${CMAKE_CURRENT_BINARY_DIR}/pkgconfig/lfx86_64.pc.in @ONLY)
install(CODE "
  get_filename_component(LFX_PC_PREFIX \"\${CMAKE_INSTALL_PREFIX}\" ABSOLUTE)
  if(LFX_PC_PREFIX STREQUAL \"/\")
    set(LFX_PC_PREFIX \"\")
  endif()
  configure_file(\"${CMAKE_CURRENT_BINARY_DIR}/pkgconfig/lfx86_64.pc.in\"
                 \"${CMAKE_CURRENT_BINARY_DIR}/pkgconfig/lfx86_64.pc\" @ONLY)
  file(INSTALL DESTINATION \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_LIBDIR}/pkgconfig\" TYPE FILE
       FILES \"${CMAKE_CURRENT_BINARY_DIR}/pkgconfig/lfx86_64.pc\")
" COMPONENT dev)

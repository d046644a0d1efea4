# `cpack -G DEB` in the build directory makes two Debian packages, split as
# Debian splits a program from its development files:
#   vexo-x86-64       the program and its manual page (component "program");
#   liblfx86-64-dev   the headers, the library, the five kernel objects, the
#                     CMake package and the pkg-config file (component "dev").
# Each carries in /usr/share/doc/<package>/ a copyright file in the Debian
# machine-readable format, made from LICENSE, and a gzipped changelog.
set(VEXO_DEB_PROGRAM vexo-x86-64)
set(VEXO_DEB_DEV liblfx86-64-dev)

# The copyright file: a header, then the licence of LICENSE (the text below
# its copyright line) indented by one space, empty lines written " .".
# Expat is that format's name for the MIT licence.
file(READ ${PROJECT_SOURCE_DIR}/LICENSE license_text)
string(REGEX MATCH "Copyright \\(c\\) ([^\n]*)" _ "${license_text}")
set(copyright_holder "${CMAKE_MATCH_1}")
string(REGEX REPLACE "^.*Copyright \\(c\\) [^\n]*\n\n" "" license_body "${license_text}")
string(STRIP "${license_body}" license_body)
string(REPLACE "\n\n" "\n.\n" license_body "${license_body}")
string(REPLACE "\n" "\n " license_body "${license_body}")
set(VEXO_DEB_COPYRIGHT ${CMAKE_CURRENT_BINARY_DIR}/debian/copyright)
file(WRITE ${VEXO_DEB_COPYRIGHT}
"Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/
Upstream-Name: ${PROJECT_NAME}

Files: *
Copyright: ${copyright_holder}
License: Expat
 ${license_body}
")

configure_file(${CMAKE_CURRENT_LIST_DIR}/debian/changelog.in ${CMAKE_CURRENT_BINARY_DIR}/debian/changelog @ONLY)
# The packages' version has no Debian revision: they are native packages,
# whose changelog is changelog.gz.
vexo_gzip(${CMAKE_CURRENT_BINARY_DIR}/debian/changelog changelog VEXO_DEB_CHANGELOG_GZ)

foreach(component IN ITEMS program dev)
  if(component STREQUAL "program")
    set(package ${VEXO_DEB_PROGRAM})
  else()
    set(package ${VEXO_DEB_DEV})
  endif()
  install(FILES ${VEXO_DEB_COPYRIGHT} ${VEXO_DEB_CHANGELOG_GZ}
          DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/${package} COMPONENT ${component})
endforeach()

set(CPACK_PACKAGE_NAME ${VEXO_DEB_PROGRAM})
set(CPACK_PACKAGE_VENDOR "vexo_x86_64 developers")
set(CPACK_PACKAGE_CONTACT "vexo_x86_64 maintainers <maintainers@vexo.invalid>")
# CPack puts the project's summary before each package's description unless
# the summary is left at CPack's own placeholder: left so, the first line of
# each description below is its package's synopsis.
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${CMAKE_PROJECT_NAME} built using CMake")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL program dev)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE amd64)
set(CPACK_DEBIAN_PACKAGE_SOURCE ${VEXO_DEB_PROGRAM})
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)

set(CPACK_DEBIAN_PROGRAM_PACKAGE_NAME ${VEXO_DEB_PROGRAM})
set(CPACK_DEBIAN_PROGRAM_PACKAGE_SECTION math)
set(CPACK_DEBIAN_PROGRAM_DESCRIPTION
"digits of pi, e, sqrt(2) and 1/sqrt(2) on x86-64 word arrays
vexo_x86_64 computes pi (by one of four arctangent formulas), e, sqrt(2)
and 1/sqrt(2) to any number of radix-2, radix-10 or radix-16 digits, on
fixed-point numbers held as arrays of 64-bit words and changed by
hand-written x86-64 assembly kernels.")

set(CPACK_DEBIAN_DEV_PACKAGE_NAME ${VEXO_DEB_DEV})
set(CPACK_DEBIAN_DEV_PACKAGE_SECTION libdevel)
set(CPACK_DEBIAN_DEV_DESCRIPTION
"fixed-point multiprecision words with x86-64 assembly kernels
lfx86_64 holds fixed-point numbers as arrays of 64-bit words and adds,
subtracts, multiplies and divides them with x86-64 assembly kernels.
.
This package holds its headers, the static library, the five kernels as
object modules of their own, a CMake package and a pkg-config file.")

include(CPack)

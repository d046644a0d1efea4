# The hardening that distributions build with: position-independent
# executables, stack protector, fortified libc calls, read-only relocations
# bound at start-up. The assembly kernels are assembled as they are, so none
# of this touches their speed.
option(VEXO_HARDEN "Build with the distributions' hardening flags" ON)
if(VEXO_HARDEN)
  include(CheckPIESupported)
  check_pie_supported(LANGUAGES C CXX)
  if(NOT DEFINED CMAKE_POSITION_INDEPENDENT_CODE)
    set(CMAKE_POSITION_INDEPENDENT_CODE ON)
  endif()
  add_compile_options($<$<COMPILE_LANGUAGE:C,CXX>:-fstack-protector-strong>)
  # _FORTIFY_SOURCE needs an optimised build (glibc warns without one), and
  # the sanitizers check the same calls better without it.
  if(NOT VEXO_SANITIZE AND NOT VEXO_FUZZ)
    add_compile_options(
      "$<$<AND:$<COMPILE_LANGUAGE:C,CXX>,$<NOT:$<CONFIG:Debug>>>:-U_FORTIFY_SOURCE;-D_FORTIFY_SOURCE=2>")
  endif()
  add_link_options(LINKER:-z,relro,-z,now)
endif()

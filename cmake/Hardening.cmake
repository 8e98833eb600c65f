# Debian's hardening, for every program of the project: the stack guarded,
# format strings checked, the whole program position independent and its
# relocations read-only and resolved at start (bindnow). The checked
# variants of the C library's functions (FORTIFY) need the optimiser, and
# the sanitizers bring checks of their own that clash with them.
include(CheckPIESupported)
check_pie_supported()
set(CMAKE_POSITION_INDEPENDENT_CODE ON)
add_compile_options(-fstack-protector-strong -Wformat -Werror=format-security)
add_link_options(-Wl,-z,relro -Wl,-z,now)
if(NOT CMAKE_CXX_FLAGS MATCHES "-fsanitize" AND NOT TARNWICK_FUZZ
   AND CMAKE_BUILD_TYPE MATCHES "^(Release|RelWithDebInfo|MinSizeRel)$")
  add_compile_options(-U_FORTIFY_SOURCE -D_FORTIFY_SOURCE=3)
endif()

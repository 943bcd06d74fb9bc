# Flags every target of ours links privately.
add_library(tallowin_options INTERFACE)
target_compile_options(tallowin_options INTERFACE -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wsign-conversion
                                                  -Wnon-virtual-dtor -Wold-style-cast -Woverloaded-virtual)
if(TALLOWIN_WARNINGS_AS_ERRORS)
  target_compile_options(tallowin_options INTERFACE -Werror)
endif()
# GCC 12 at -O3 reports "literal" + std::string as an overlapping copy
# inside libstdc++ (-Wrestrict), a known false positive of that release.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
  target_compile_options(tallowin_options INTERFACE -Wno-restrict)
endif()

# Flags every target of ours links privately.
add_library(tallowin_options INTERFACE)
target_compile_options(tallowin_options INTERFACE -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wsign-conversion
                                                  -Wnon-virtual-dtor -Wold-style-cast -Woverloaded-virtual)
if(TALLOWIN_WARNINGS_AS_ERRORS)
  target_compile_options(tallowin_options INTERFACE -Werror)
endif()

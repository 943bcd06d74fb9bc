# clang-tidy over the production sources, as a test of its own: any finding
# fails it. Needs the compilation database this build writes.
if(TALLOWIN_CLANG_TIDY)
  find_program(TALLOWIN_CLANG_TIDY_PROGRAM clang-tidy REQUIRED)
  add_test(NAME lint.clang-tidy COMMAND ${PROJECT_SOURCE_DIR}/scripts/lint.sh ${PROJECT_BINARY_DIR})
  # Two jobs of its own: alone, it does not starve the X11 tests' clients.
  set_tests_properties(lint.clang-tidy PROPERTIES LABELS lint RUN_SERIAL TRUE TIMEOUT 900)
endif()

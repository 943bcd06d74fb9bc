# clang-tidy over the production sources, as a test of its own: any finding
# fails it. Needs the compilation database this build writes.
if(TALLOWIN_CLANG_TIDY)
  find_program(TALLOWIN_RUN_CLANG_TIDY NAMES run-clang-tidy run-clang-tidy-14 REQUIRED)
  add_test(NAME lint.clang-tidy
           COMMAND ${TALLOWIN_RUN_CLANG_TIDY} -p ${PROJECT_BINARY_DIR} -j 2 -quiet -warnings-as-errors=*
                   "^${PROJECT_SOURCE_DIR}/(app|discovery|placement|platform|shell)/.*\\.cpp$")
  # Two jobs of its own: alone, it does not starve the X11 tests' clients.
  set_tests_properties(lint.clang-tidy PROPERTIES LABELS lint RUN_SERIAL TRUE TIMEOUT 900)
endif()

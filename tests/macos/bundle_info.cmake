# Fills platform/macos/Info.plist.in as cmake/macos_bundle.cmake has the
# bundle filled, then checks the result as a property list.
# Usage: cmake -DOUT=Info.plist -P tests/macos/bundle_info.cmake
include(${CMAKE_CURRENT_LIST_DIR}/../../cmake/macos_bundle.cmake)
tallowin_macos_bundle_info(info 0.1.0)
while(info)
  list(POP_FRONT info key value)
  set(${key} "${value}")
endwhile()
set(MACOSX_BUNDLE_EXECUTABLE_NAME Tallowin)
configure_file(${CMAKE_CURRENT_LIST_DIR}/../../platform/macos/Info.plist.in ${OUT})
execute_process(COMMAND python3 ${CMAKE_CURRENT_LIST_DIR}/check_info_plist.py ${OUT} RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "${OUT} is not the Info.plist the bundle needs")
endif()

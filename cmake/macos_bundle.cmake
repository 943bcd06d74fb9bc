# Makes an executable target the Tallowin.app bundle. Called by the Qt
# shell on Apple platforms only. The deployment target (13.5) and the
# architecture (x86_64) must be set before project(): CMAKE_OSX_DEPLOYMENT_TARGET
# and CMAKE_OSX_ARCHITECTURES on the configure line or in the macos preset.
function(tallowin_macos_bundle target)
  if(NOT APPLE)
    message(FATAL_ERROR "tallowin_macos_bundle(${target}) is for Apple platforms only")
  endif()
  if(NOT CMAKE_OSX_DEPLOYMENT_TARGET VERSION_EQUAL 13.5)
    message(WARNING "CMAKE_OSX_DEPLOYMENT_TARGET is '${CMAKE_OSX_DEPLOYMENT_TARGET}'; Tallowin is built for 13.5")
  endif()
  set_target_properties(${target} PROPERTIES
    MACOSX_BUNDLE TRUE
    OUTPUT_NAME Tallowin
    MACOSX_BUNDLE_INFO_PLIST ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/../platform/macos/Info.plist.in
    MACOSX_BUNDLE_BUNDLE_NAME Tallowin
    MACOSX_BUNDLE_GUI_IDENTIFIER org.tallowin.Tallowin
    MACOSX_BUNDLE_SHORT_VERSION_STRING ${PROJECT_VERSION}
    MACOSX_BUNDLE_BUNDLE_VERSION ${PROJECT_VERSION}
    # Built with the bundle's own search path (macdeployqt puts Qt into
    # Contents/Frameworks), so installing, as CPack does, copies the signed
    # bundle unchanged instead of rewriting its search path.
    BUILD_WITH_INSTALL_RPATH ON
    INSTALL_RPATH "@executable_path/../Frameworks"
  )
  target_link_libraries(${target} PRIVATE tallowin_macos)
endfunction()

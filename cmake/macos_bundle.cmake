# Makes an executable target the Tallowin.app bundle. Called by the Qt
# shell on Apple platforms only. The deployment target (13.5) and the
# architecture (x86_64) must be set before project(): CMAKE_OSX_DEPLOYMENT_TARGET
# and CMAKE_OSX_ARCHITECTURES on the configure line or in the macos preset.

# What platform/macos/Info.plist.in is filled with, as property-value pairs;
# platform-free, so tests/macos can fill the template on any host.
function(tallowin_macos_bundle_info out version)
  set(${out}
    MACOSX_BUNDLE_BUNDLE_NAME Tallowin
    MACOSX_BUNDLE_GUI_IDENTIFIER org.tallowin.Tallowin
    MACOSX_BUNDLE_SHORT_VERSION_STRING ${version}
    MACOSX_BUNDLE_BUNDLE_VERSION ${version}
    # Contents/Resources/tallowin.icns: the Dock shows it, and the minimized
    # window is restored from there.
    MACOSX_BUNDLE_ICON_FILE tallowin.icns
    MACOSX_BUNDLE_COPYRIGHT "Copyright © 2026 Tallowin developers"
    PARENT_SCOPE)
endfunction()

function(tallowin_macos_bundle target)
  if(NOT APPLE)
    message(FATAL_ERROR "tallowin_macos_bundle(${target}) is for Apple platforms only")
  endif()
  if(NOT CMAKE_OSX_DEPLOYMENT_TARGET VERSION_EQUAL 13.5)
    message(WARNING "CMAKE_OSX_DEPLOYMENT_TARGET is '${CMAKE_OSX_DEPLOYMENT_TARGET}'; Tallowin is built for 13.5")
  endif()
  tallowin_macos_bundle_info(info ${PROJECT_VERSION})
  set_target_properties(${target} PROPERTIES
    MACOSX_BUNDLE TRUE
    OUTPUT_NAME Tallowin
    MACOSX_BUNDLE_INFO_PLIST ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/../platform/macos/Info.plist.in
    ${info}
    # Built with the bundle's own search path (macdeployqt puts Qt into
    # Contents/Frameworks), so installing, as CPack does, copies the signed
    # bundle unchanged instead of rewriting its search path.
    BUILD_WITH_INSTALL_RPATH ON
    INSTALL_RPATH "@executable_path/../Frameworks"
  )
  target_link_libraries(${target} PRIVATE tallowin_macos)

  # The icon, rendered from the project's SVG by a Qt SVG tool (shell/iconset)
  # and made an .icns by iconutil, which macOS ships.
  get_filename_component(svg ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/../shell/resources/tallowin.svg ABSOLUTE)
  set(iconset ${CMAKE_CURRENT_BINARY_DIR}/tallowin.iconset)
  set(icns ${CMAKE_CURRENT_BINARY_DIR}/tallowin.icns)
  add_custom_command(OUTPUT ${icns}
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${iconset}
    COMMAND tallowin_render_iconset ${svg} ${iconset}
    COMMAND iconutil --convert icns --output ${icns} ${iconset}
    DEPENDS tallowin_render_iconset ${svg}
    COMMENT "Rendering the application icon"
    VERBATIM)
  target_sources(${target} PRIVATE ${icns})
  set_source_files_properties(${icns} PROPERTIES MACOSX_PACKAGE_LOCATION Resources)
endfunction()

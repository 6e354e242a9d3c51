# The process: start-up, one clock per user, the ending signals, the platform choice.
target_sources(morvantis_ui PRIVATE
  app/EndSignals.cpp
  app/frmSplash.cpp
  app/PlatformChoice.cpp
  app/Resources.cpp
  app/SingleInstance.cpp
  app/StartUp.cpp
)
target_sources(morvantis_ui PRIVATE ${PROJECT_SOURCE_DIR}/resources/resources.qrc)
# One clock per settings store differs between the systems: a Unix socket; a named pipe
# through Qt's local server.
if(WIN32)
  find_package(Qt6 6.4 REQUIRED COMPONENTS Network)
  target_link_libraries(morvantis_ui PUBLIC Qt6::Network)
  target_sources(morvantis_ui PRIVATE app/windows/SingleInstancePipe.cpp)
else()
  target_sources(morvantis_ui PRIVATE app/linux/SingleInstanceSocket.cpp)
endif()
# Before the application object: a look at the Wayland outputs' scale and layout (xdg-output) and
# at the X server's resources. The window states (keep on top, every workspace) speak to X11 too.
if(UNIX AND NOT APPLE)
  pkg_check_modules(WAYLAND_CLIENT REQUIRED IMPORTED_TARGET wayland-client)
  pkg_check_modules(XCB REQUIRED IMPORTED_TARGET xcb)
  pkg_get_variable(WAYLAND_PROTOCOLS_DIR wayland-protocols pkgdatadir)
  find_program(WAYLAND_SCANNER wayland-scanner REQUIRED)
  set(xdg_output_xml ${WAYLAND_PROTOCOLS_DIR}/unstable/xdg-output/xdg-output-unstable-v1.xml)
  set(xdg_output_dir ${CMAKE_CURRENT_BINARY_DIR}/protocols)
  add_custom_command(
    OUTPUT ${xdg_output_dir}/xdg-output-client.h ${xdg_output_dir}/xdg-output-protocol.c
    COMMAND ${CMAKE_COMMAND} -E make_directory ${xdg_output_dir}
    COMMAND ${WAYLAND_SCANNER} client-header ${xdg_output_xml} ${xdg_output_dir}/xdg-output-client.h
    COMMAND ${WAYLAND_SCANNER} private-code ${xdg_output_xml} ${xdg_output_dir}/xdg-output-protocol.c
    DEPENDS ${xdg_output_xml}
    VERBATIM)
  # The interface tables wayland-scanner writes are C.
  enable_language(C)
  target_sources(morvantis_ui PRIVATE ${xdg_output_dir}/xdg-output-client.h ${xdg_output_dir}/xdg-output-protocol.c)
  target_include_directories(morvantis_ui PRIVATE ${xdg_output_dir})
  target_link_libraries(morvantis_ui PRIVATE PkgConfig::WAYLAND_CLIENT PkgConfig::XCB)
  set_source_files_properties(app/PlatformChoice.cpp PROPERTIES COMPILE_DEFINITIONS MORVANTIS_WITH_WAYLAND)
endif()

# What Linux does its own way; the one place the build takes it from (windows.cmake is the other).
pkg_check_modules(PULSE REQUIRED IMPORTED_TARGET GLOBAL libpulse)
pkg_check_modules(XCB REQUIRED IMPORTED_TARGET xcb)
pkg_check_modules(WAYLAND_CLIENT REQUIRED IMPORTED_TARGET wayland-client)

# The process: one clock per settings store through a Unix socket; SIGTERM, SIGHUP and SIGINT
# and the X session manager's end; on a Wayland session with an X server, a look at the
# outputs' scale and layout (xdg-output) and at the X server's resources before the application
# object is made.
target_sources(morvantis_ui PRIVATE
  app/linux/EndSignals.cpp
  app/linux/PlatformChoice.cpp
  app/linux/SingleInstanceSocket.cpp
)
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

# The platform services: the XDG autostart file; what tells a file's states apart (fstat); files
# opened without blocking on a named pipe; lines for the user on the standard streams; X11's
# flush, workspaces and urgency.
target_sources(morvantis_platform PRIVATE
  platform/linux/AutostartEntry.cpp
  platform/linux/FileChecks.cpp
  platform/linux/FileState.cpp
  platform/linux/Say.cpp
  platform/linux/WindowSystem.cpp
)
target_link_libraries(morvantis_platform PRIVATE PkgConfig::XCB)
target_sources(morvantis_wave PRIVATE platform/linux/ReadOnlyFile.cpp)

# The wave player, through the sound server's client library.
target_sources(morvantis_player PRIVATE platform/linux/WavePlayer.cpp)
target_link_libraries(morvantis_player PRIVATE morvantis_wave PkgConfig::PULSE Threads::Threads)

# What Windows does its own way; the one place the build takes it from (linux.cmake is the other).

# The process: one clock per user and session through a named pipe (Qt's local server); the
# session's end as a question first.
find_package(Qt6 6.4 REQUIRED COMPONENTS Network)
target_link_libraries(morvantis_ui PUBLIC Qt6::Network)
target_sources(morvantis_ui PRIVATE
  app/windows/EndSignals.cpp
  app/windows/PlatformChoice.cpp
  app/windows/SingleInstancePipe.cpp
)

# The program's icon, version resource and manifest (the Windows versions it knows, per-monitor
# DPI, long paths).
enable_language(RC)
string(REPLACE "." ";" parts "${PROJECT_VERSION}.0.0.0")
list(SUBLIST parts 0 4 parts)
string(JOIN "," MORVANTIS_VERSION_COMMAS ${parts})
string(JOIN "." MORVANTIS_VERSION_4 ${parts})
configure_file(app/windows/morvantis.manifest.in morvantis.manifest @ONLY)
configure_file(app/windows/morvantis.rc.in morvantis.rc @ONLY)
target_sources(morvantis PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/morvantis.rc)
set_property(SOURCE ${CMAKE_CURRENT_BINARY_DIR}/morvantis.rc APPEND PROPERTY OBJECT_DEPENDS
  ${PROJECT_SOURCE_DIR}/resources/img/icon.ico ${CMAKE_CURRENT_BINARY_DIR}/morvantis.manifest)

# The platform services: the user's Run key; what tells a file's states apart (the file's index
# and times); lines for the user on redirected output, the parent's console or a box; the
# taskbar's flash.
target_sources(morvantis_platform PRIVATE
  platform/windows/AutostartEntry.cpp
  platform/windows/FileChecks.cpp
  platform/windows/FileState.cpp
  platform/windows/Say.cpp
  platform/windows/WindowSystem.cpp
)
target_sources(morvantis_wave PRIVATE platform/windows/ReadOnlyFile.cpp)

# The wave player, through winmm.
target_sources(morvantis_player PRIVATE platform/windows/WinWavePlayer.cpp)
target_link_libraries(morvantis_player PRIVATE morvantis_wave winmm Threads::Threads)

# The Qt implementations of the platform services, and what the windows share of the window
# system. A library of their own, so that the fuzz targets link them without the windows.
add_library(morvantis_platform STATIC
  platform/Autostart.cpp
  platform/LazyDialog.cpp
  platform/LazySound.cpp
  platform/PixelCache.cpp
  platform/QtFiles.cpp
  platform/QtPictures.cpp
  platform/QtPrompts.cpp
  platform/QtSettingsStore.cpp
  platform/QtShell.cpp
  platform/QtWindowSystem.cpp
)
target_link_libraries(morvantis_platform PUBLIC morvantis_core Qt6::Widgets)
# What the systems do their own way: the entry that starts the clock with the session (an XDG
# autostart file; the user's Run key), what tells a file's states apart (fstat; the file's
# index and times), where a line for the user goes (standard streams; also the console or a box),
# and how a window asks for the user's eye.
if(WIN32)
  target_sources(morvantis_platform PRIVATE platform/windows/AutostartEntry.cpp platform/windows/FileState.cpp
    platform/windows/Say.cpp platform/windows/Attention.cpp)
else()
  target_sources(morvantis_platform PRIVATE platform/linux/AutostartEntry.cpp platform/linux/FileState.cpp
    platform/linux/Say.cpp platform/linux/Attention.cpp)
endif()
# Flushing the window system sends each step of the shake to the X server at once.
if(UNIX AND NOT APPLE)
  pkg_check_modules(XCB REQUIRED IMPORTED_TARGET xcb)
  target_link_libraries(morvantis_platform PRIVATE PkgConfig::XCB)
endif()
target_link_libraries(morvantis_ui PUBLIC morvantis_platform)

# The wave decoder, shared by the player module, its tests and its fuzz target. Position-
# independent code, since the module is a shared object.
add_library(morvantis_wave STATIC platform/WaveDecoder.cpp)
set_target_properties(morvantis_wave PROPERTIES POSITION_INDEPENDENT_CODE ON)
target_include_directories(morvantis_wave PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(morvantis_wave PRIVATE PkgConfig::SNDFILE)

# The wave player: a module loaded on the first sound, so that the audio libraries cost
# nothing until then. It links no Qt library. It is built beside the executable. Linux plays
# through the sound server's client library, Windows through winmm.
if(WIN32)
  add_library(morvantis_player MODULE platform/windows/WinWavePlayer.cpp)
  target_link_libraries(morvantis_player PRIVATE morvantis_wave winmm Threads::Threads)
else()
  add_library(morvantis_player MODULE platform/player/WavePlayer.cpp)
  target_link_libraries(morvantis_player PRIVATE morvantis_wave PkgConfig::PULSE Threads::Threads)
endif()
target_include_directories(morvantis_player PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
set_target_properties(morvantis_player PROPERTIES PREFIX "" LIBRARY_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR})
add_dependencies(morvantis_ui morvantis_player)

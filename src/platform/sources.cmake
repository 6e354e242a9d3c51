# The Qt implementations of the platform services, and what the windows share of the window
# system.
target_sources(morvantis_platform PRIVATE
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
target_link_libraries(morvantis_ui PUBLIC morvantis_platform)

# The wave decoder. Position-independent code, since the player module is a shared object.
target_sources(morvantis_wave PRIVATE platform/WaveDecoder.cpp)
set_target_properties(morvantis_wave PROPERTIES POSITION_INDEPENDENT_CODE ON)
target_include_directories(morvantis_wave PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(morvantis_wave PRIVATE PkgConfig::SNDFILE)
# The wave player links no Qt library; it is built beside the executable.
target_include_directories(morvantis_player PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
set_target_properties(morvantis_player PROPERTIES PREFIX "" LIBRARY_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR})
add_dependencies(morvantis_ui morvantis_player)

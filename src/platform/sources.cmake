target_sources(morvantis_ui PRIVATE
  platform/LazySound.cpp
  platform/QtFiles.cpp
  platform/QtPictures.cpp
  platform/QtPrompts.cpp
  platform/QtShell.cpp
)

# The wave player: a module loaded on the first sound, so that libpulse and libsndfile cost
# nothing until then. It links no Qt library. It is built beside the executable.
add_library(morvantis_player MODULE
  platform/WaveDecoder.cpp
  platform/player/WavePlayer.cpp
)
target_include_directories(morvantis_player PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(morvantis_player PRIVATE PkgConfig::PULSE PkgConfig::SNDFILE Threads::Threads)
set_target_properties(morvantis_player PROPERTIES PREFIX "" LIBRARY_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR})
add_dependencies(morvantis_ui morvantis_player)

# What Linux tests its own way; windows.cmake is the other system's.

# sound_segments lists the sounds in a recording from the shell (morvantis_sound_check, in support/).
add_executable(sound_segments support/sound_segments.cpp)
target_link_libraries(sound_segments PRIVATE morvantis_sound_check)

function(morvantis_system_tests)
  # The Unix socket and lock; the named pipe's counterpart runs in scripts/test-windows.
  morvantis_add_test(NAME test_single_instance LABEL gui
    SOURCES app/test_single_instance.cpp ${PROJECT_SOURCE_DIR}/tests/support/GuiTestMain.cpp
    LIBS ${MORVANTIS_GUI_LIBS})
  # Its hostile skins include a named pipe, which Windows folders cannot hold.
  morvantis_add_test(NAME test_skins LABEL gui
    SOURCES skins/test_skins.cpp ${PROJECT_SOURCE_DIR}/tests/support/GuiTestMain.cpp
    LIBS ${MORVANTIS_GUI_LIBS})
  target_compile_definitions(test_skins PRIVATE MORVANTIS_SOURCE_DIR_DEFAULT="${PROJECT_SOURCE_DIR}")
  set_property(TEST test_skins APPEND PROPERTY ENVIRONMENT "FONTCONFIG_FILE=${PROJECT_SOURCE_DIR}/tests/support/fonts.conf")
  # The INI file's locks, permissions and full disks: Unix processes and file modes.
  morvantis_add_test(NAME test_settings_store LABEL gui SOURCES settings/test_settings_store.cpp LIBS ${MORVANTIS_GUI_LIBS})
  # Its refused files include a named pipe, which Windows folders cannot hold.
  morvantis_add_test(NAME test_wave_decoder LABEL unit SOURCES platform/test_wave_decoder.cpp
    LIBS morvantis_wave PkgConfig::SNDFILE)
  # The PulseAudio player through a null sink of the test's own; the Windows one is recorded
  # through Wine in scripts/test-windows.
  morvantis_add_test(NAME test_wave_player LABEL sound
    SOURCES platform/test_wave_player.cpp ${PROJECT_SOURCE_DIR}/tests/support/GuiTestMain.cpp
    LIBS ${MORVANTIS_GUI_LIBS} morvantis_sound_check PkgConfig::SNDFILE)
  target_compile_definitions(test_wave_player PRIVATE
    MORVANTIS_PLAYER_MODULE="$<TARGET_FILE:morvantis_player>"
    MORVANTIS_PLAY_SOUND="$<TARGET_FILE:play_sound>")
  add_dependencies(test_wave_player play_sound)
  set_tests_properties(test_wave_player PROPERTIES RUN_SERIAL TRUE)

  # The real player on the servers desktops run (PulseAudio at a sink's own latency and with
  # norewinds, PipeWire), and against a server that restarts, starts late or hangs.
  morvantis_add_test(NAME test_player_server LABEL sound
    SOURCES platform/test_player_server.cpp
    LIBS morvantis_ui morvantis_sound_check PkgConfig::SNDFILE)
  target_compile_definitions(test_player_server PRIVATE
    MORVANTIS_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
    MORVANTIS_PLAYER_MODULE="$<TARGET_FILE:morvantis_player>"
    MORVANTIS_PLAY_SOUND="$<TARGET_FILE:play_sound>")
  add_dependencies(test_player_server play_sound)
  set_tests_properties(test_player_server PROPERTIES RUN_SERIAL TRUE)
  # The fuzz targets: built once, then the targets run one at a time (each takes a core) beside the other tests.
  include(${PROJECT_SOURCE_DIR}/fuzz/targets.cmake)
  add_test(NAME fuzz_build COMMAND bash ${PROJECT_SOURCE_DIR}/scripts/fuzz --build-only)
  set_tests_properties(fuzz_build PROPERTIES LABELS fuzz TIMEOUT 900 COST 1000 FIXTURES_SETUP fuzz_build)
  foreach(target ${MORVANTIS_FUZZ_TARGETS})
    add_test(NAME ${target} COMMAND bash ${PROJECT_SOURCE_DIR}/scripts/fuzz --no-build 20 ${target})
    set_tests_properties(${target} PROPERTIES LABELS fuzz TIMEOUT 300 COST 900 FIXTURES_REQUIRED fuzz_build
      RESOURCE_LOCK fuzzing)
  endforeach()
  # The real program under Xvfb, with the clock set by libfaketime.
  add_subdirectory(e2e)
endfunction()

target_sources(morvantis_core PRIVATE
  alarm/AlarmRules.cpp
)
target_sources(morvantis_core PRIVATE alarm/MusicRules.cpp)
target_sources(morvantis_ui PRIVATE alarm/frmMusic.cpp)
target_sources(morvantis_core PRIVATE
  alarm/AlarmDue.cpp
  alarm/Snooze.cpp
)
target_sources(morvantis_ui PRIVATE
  alarm/frmCustom.cpp
)
# The shake sends each move to the X server at once, without processing events.
if(UNIX AND NOT APPLE)
  pkg_check_modules(XCB REQUIRED IMPORTED_TARGET xcb)
  target_link_libraries(morvantis_ui PRIVATE PkgConfig::XCB)
endif()

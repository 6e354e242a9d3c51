# The main tick's plan: a rule, without Qt.
target_sources(morvantis_core PRIVATE clock/TickPlan.cpp)
# The clock window and what only it uses.
target_sources(morvantis_ui PRIVATE
  clock/AlarmFiring.cpp
  clock/ClockDialogs.cpp
  clock/ClockEnd.cpp
  clock/ClockEnd.h
  clock/ClockHold.cpp
  clock/FaceInput.cpp
  clock/FacePainter.cpp
  clock/frmMain.cpp
  clock/SkinSwitch.cpp
  clock/WindowPlacement.cpp
  clock/WindowStates.cpp
)

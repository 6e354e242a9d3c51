# What Windows tests its own way; linux.cmake is the other system's.

# Under Wine, on Qt's own Windows platform: Wine passes a variable WINEQT_X to the program as QT_X.
set(MORVANTIS_TEST_PLATFORM "WINEQT_QPA_PLATFORM=windows;WINEQT_FORCE_STDERR_LOGGING=1;")

# Wine has one screen: what moves a window between screens is left out.
set(MORVANTIS_TEST_ONE_SCREEN --gtest_filter=-*Screen*)

function(morvantis_system_tests)
  # The tests under Wine, after every other folder's: scripts/test-windows drives them.
  add_subdirectory(windows)
endfunction()

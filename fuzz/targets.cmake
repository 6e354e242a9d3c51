# The fuzz targets: fuzz/<name>.cpp, seeds in fuzz/corpus/<name>, found inputs in fuzz/regressions/<name>.
set(MORVANTIS_FUZZ_TARGETS
  fuzz_info_line
  fuzz_settings_text
  fuzz_settings_file
  fuzz_skin_gif
  fuzz_pixel_cache
  fuzz_wave
)
# What they link, in the fuzz build and in the tests that replay them: the program's own
# libraries, without the windows.
set(MORVANTIS_FUZZ_LIBS morvantis_platform morvantis_wave)

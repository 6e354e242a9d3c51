# The fuzz targets: fuzz/<name>.cpp, seeds in fuzz/corpus/<name>, found inputs in fuzz/regressions/<name>.
set(MORVANTIS_FUZZ_TARGETS
  fuzz_info_line
  fuzz_settings_text
  fuzz_settings_file
  fuzz_skin_gif
  fuzz_wave
)

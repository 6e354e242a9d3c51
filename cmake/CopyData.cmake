# Copies the data folder beside the program, writing only the files whose contents differ: the
# clock keeps the pictures it decoded for files that have not changed since, and a file written
# again at every build would look new to it each time.
file(GLOB_RECURSE files LIST_DIRECTORIES false RELATIVE "${SOURCE}" "${SOURCE}/*")
foreach(f IN LISTS files)
  get_filename_component(dir "${DESTINATION}/${f}" DIRECTORY)
  file(MAKE_DIRECTORY "${dir}")
  file(COPY_FILE "${SOURCE}/${f}" "${DESTINATION}/${f}" ONLY_IF_DIFFERENT)
endforeach()

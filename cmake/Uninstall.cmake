# [DESTDIR=<stage>] cmake -DMANIFEST=<build>/install_manifest.txt -P Uninstall.cmake
# Removes the files the last cmake --install listed (names may hold blanks), then the
# program's own folders where they became empty: for each file, the folders from the nearest
# one above it named morvantis down to its own. Anything else, such as a skin added by hand,
# stays, and so do the folders that hold it.
if(NOT EXISTS "${MANIFEST}")
  message(FATAL_ERROR "Nothing to uninstall: ${MANIFEST} does not exist (run cmake --install first)")
endif()
file(STRINGS "${MANIFEST}" files)
set(own_folders "")
foreach(f IN LISTS files)
  # The manifest names the files without the DESTDIR of a staged install.
  set(f "$ENV{DESTDIR}${f}")
  file(REMOVE "${f}")
  if(IS_SYMLINK "${f}" OR EXISTS "${f}")
    message(FATAL_ERROR "Cannot remove ${f}")
  endif()
  if(f MATCHES "^(.*/morvantis)/")
    set(root "${CMAKE_MATCH_1}")
    get_filename_component(dir "${f}" DIRECTORY)
    string(LENGTH "${root}" root_length)
    string(LENGTH "${dir}" dir_length)
    while(dir_length GREATER_EQUAL root_length)
      list(APPEND own_folders "${dir}")
      get_filename_component(dir "${dir}" DIRECTORY)
      string(LENGTH "${dir}" dir_length)
    endwhile()
  endif()
endforeach()
list(REMOVE_DUPLICATES own_folders)
# Deepest first: a folder is looked at after the folders inside it.
list(SORT own_folders ORDER DESCENDING)
foreach(dir IN LISTS own_folders)
  file(GLOB left LIST_DIRECTORIES true "${dir}/*" "${dir}/.*")
  if(IS_DIRECTORY "${dir}" AND NOT IS_SYMLINK "${dir}" AND NOT left)
    file(REMOVE_RECURSE "${dir}") # empty
  endif()
endforeach()
list(LENGTH files count)
message(STATUS "Uninstalled the ${count} files listed in ${MANIFEST}")

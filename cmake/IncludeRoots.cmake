# Each library gets an include folder of its own, holding only its own
# headers, so that including a header of a library the target does not link
# fails to compile instead of building by accident.
#
# brindle_include_root(<target> <folder>...)
#   Links every header of each <folder> (relative to the project root, e.g.
#   "platform/qt") into ${CMAKE_BINARY_DIR}/include/<target>/<folder>/ and
#   makes that folder the target's include directory (PUBLIC, or INTERFACE for
#   an interface library). The spelling of an include stays the same as the
#   header's path in the source tree: "platform/qt/QtDialogs.h".
#   Headers are globbed with CONFIGURE_DEPENDS, so a new header is linked at
#   the next build without running CMake by hand.
function(brindle_include_root target)
  set(root "${CMAKE_BINARY_DIR}/include/${target}")
  # Start from an empty folder: a header moved to another library must not
  # stay reachable through a link left from an earlier configure.
  file(REMOVE_RECURSE "${root}")
  foreach(folder IN LISTS ARGN)
    file(GLOB headers CONFIGURE_DEPENDS "${PROJECT_SOURCE_DIR}/${folder}/*.h")
    if(NOT headers)
      message(FATAL_ERROR "brindle_include_root(${target}): no headers in ${folder}/")
    endif()
    file(MAKE_DIRECTORY "${root}/${folder}")
    foreach(header IN LISTS headers)
      cmake_path(GET header FILENAME name)
      file(CREATE_LINK "${header}" "${root}/${folder}/${name}" SYMBOLIC)
    endforeach()
  endforeach()
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "INTERFACE_LIBRARY")
    target_include_directories(${target} INTERFACE "${root}")
  else()
    target_include_directories(${target} PUBLIC "${root}")
  endif()
endfunction()

# Each target sees the headers of the libraries it links and its own, nothing else: a
# library publishes its headers as links, at their repository paths, in a folder of its
# own under the build tree, and that folder is its include directory. An #include of a
# header from a module the target does not link fails to compile.
#
#   vorta_headers(<target> PUBLIC|PRIVATE <folder>...)
#
# <folder> is relative to the source root; only the headers directly in it are published.
function(vorta_headers target scope)
  set(root "${CMAKE_BINARY_DIR}/include/${target}")
  file(REMOVE_RECURSE "${root}")
  foreach(folder IN LISTS ARGN)
    file(GLOB headers RELATIVE "${PROJECT_SOURCE_DIR}" CONFIGURE_DEPENDS
         "${PROJECT_SOURCE_DIR}/${folder}/*.h")
    foreach(header IN LISTS headers)
      get_filename_component(parent "${root}/${header}" DIRECTORY)
      file(MAKE_DIRECTORY "${parent}")
      file(CREATE_LINK "${PROJECT_SOURCE_DIR}/${header}" "${root}/${header}" SYMBOLIC)
    endforeach()
  endforeach()
  target_include_directories(${target} ${scope} "${root}")
endfunction()

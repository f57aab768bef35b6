# One static library per subsystem folder, named after the folder.
# Sources are the .cpp and .h files of the folder and of the sub-folders
# named in SUBDIRS; headers are included as "folder/file.h" (or
# "folder/sub/file.h") from the source root.
function(morvane_library name)
  cmake_parse_arguments(ARG "" "" "DEPS;SUBDIRS" ${ARGN})
  set(patterns ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  foreach(sub ${ARG_SUBDIRS})
    list(APPEND patterns ${CMAKE_CURRENT_SOURCE_DIR}/${sub}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/${sub}/*.h)
  endforeach()
  file(GLOB sources CONFIGURE_DEPENDS ${patterns})
  add_library(${name} STATIC ${sources})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${ARG_DEPS})
endfunction()

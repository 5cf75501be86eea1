# Each library is a room: it exports an include folder that holds its own
# folder alone, so `#include "calc/Mass.h"` compiles only in a target that
# links the core. A room that reaches for one it does not link fails to
# build.
function(sheetmass_room target room)
  set(root ${PROJECT_BINARY_DIR}/rooms/${room})
  file(MAKE_DIRECTORY ${root})
  file(CREATE_LINK ${PROJECT_SOURCE_DIR}/${room} ${root}/${room} SYMBOLIC)
  get_target_property(kind ${target} TYPE)
  if(kind STREQUAL "INTERFACE_LIBRARY")
    target_include_directories(${target} INTERFACE $<BUILD_INTERFACE:${root}>)
  else()
    target_include_directories(${target} PUBLIC $<BUILD_INTERFACE:${root}>)
  endif()
endfunction()

# vokrin_add_library(<name> <sources>...)
#   One folder's static library. Its code is included by path below src/
#   (#include "audio/bass.h"); the include path travels with the library, so a target
#   reaches a folder's headers only by linking that folder. docs/ARCHITECTURE.md says
#   which folder may link which, and the layering test holds the includes to it.
function(vokrin_add_library name)
  add_library(${name} STATIC ${ARGN})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
endfunction()

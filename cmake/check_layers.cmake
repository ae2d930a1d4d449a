# Fails the build when a source of one layer includes a header of a layer that
# is not below it. Run by the build (src/CMakeLists.txt) with -DSRC=<src> and
# -DLAYERS=<file>, a list written at configure time: for each layer, the
# layers it may include (itself and all below it).
cmake_minimum_required(VERSION 3.16)
include(${LAYERS})
set(bad "")
foreach(layer ${TARVEX_LAYERS})
  file(GLOB files ${SRC}/${layer}/*.h ${SRC}/${layer}/*.cpp)
  foreach(f ${files})
    file(STRINGS ${f} lines REGEX "^#include \"[a-z0-9_]+/")
    foreach(line ${lines})
      string(REGEX REPLACE "^#include \"([a-z0-9_]+)/.*" "\\1" used "${line}")
      if(NOT used IN_LIST TARVEX_MAY_${layer})
        file(RELATIVE_PATH shown ${SRC} ${f})
        string(APPEND bad "\n  ${shown}: ${line} (${layer} may include: ${TARVEX_MAY_${layer}})")
      endif()
    endforeach()
  endforeach()
endforeach()
if(bad)
  message(FATAL_ERROR "A layer includes one above it:${bad}")
endif()

# Makes a delay-load import library from a toolchain import library: every
# function the DLL exports, bound on its first call instead of when the program
# loads (mingw-w64's CRT holds the helper that binds them).
# Run with -P: IMPORT_LIB, OUTPUT, NM, DLLTOOL.
cmake_minimum_required(VERSION 3.20)
execute_process(COMMAND ${DLLTOOL} --identify ${IMPORT_LIB} OUTPUT_VARIABLE dll OUTPUT_STRIP_TRAILING_WHITESPACE
                RESULT_VARIABLE failed)
if(failed OR dll STREQUAL "")
  message(FATAL_ERROR "${IMPORT_LIB}: no DLL name")
endif()
execute_process(COMMAND ${NM} ${IMPORT_LIB} OUTPUT_VARIABLE symbols RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "${IMPORT_LIB}: nm failed")
endif()
# An import of a function is its "__imp_" pointer (I) beside a code stub (T) of
# the same name; data and the library's own static helpers stay with the
# ordinary import library.
string(REGEX MATCHALL "[^\n]+" lines "${symbols}")
set(pointers "")
set(stubs "")
foreach(line IN LISTS lines)
  if(line MATCHES " I __imp_([A-Za-z0-9_@?$]+)$")
    list(APPEND pointers ${CMAKE_MATCH_1})
  elseif(line MATCHES " T ([A-Za-z0-9_@?$]+)$")
    list(APPEND stubs ${CMAKE_MATCH_1})
  endif()
endforeach()
list(REMOVE_DUPLICATES pointers)
set(def "LIBRARY ${dll}\nEXPORTS\n")
foreach(name IN LISTS pointers)
  if(name IN_LIST stubs)
    string(APPEND def "${name}\n")
  endif()
endforeach()
get_filename_component(dir ${OUTPUT} DIRECTORY)
get_filename_component(base ${OUTPUT} NAME_WE)
file(WRITE ${dir}/${base}.def "${def}")
execute_process(COMMAND ${DLLTOOL} --input-def ${dir}/${base}.def --dllname ${dll} --output-delaylib ${OUTPUT}
                RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "${OUTPUT}: dlltool failed")
endif()

# Windows libraries a program needs only once it is up, imported so that
# each loads when one of its functions is first called rather than as the
# program starts: under Wine every library loaded at start costs start-up.
# dlltool makes the delay-load import library from the exports that the
# toolchain's own import library names.
function(sheetmass_delay_import target)
  set(folder ${CMAKE_CURRENT_BINARY_DIR}/delay-import)
  file(MAKE_DIRECTORY ${folder})
  foreach(name IN LISTS ARGN)
    find_library(SHEETMASS_IMPORT_${name} ${name} REQUIRED)
    set(lib ${folder}/lib${name}-delay.a)
    if(NOT EXISTS ${lib} OR SHEETMASS_IMPORT_${name} IS_NEWER_THAN ${lib})
      execute_process(COMMAND ${CMAKE_NM} -g --defined-only ${SHEETMASS_IMPORT_${name}}
        OUTPUT_VARIABLE symbols COMMAND_ERROR_IS_FATAL ANY)
      string(REGEX MATCHALL " I __imp_[A-Za-z0-9_]+" imports "${symbols}")
      list(TRANSFORM imports REPLACE " I __imp_" "")
      list(REMOVE_DUPLICATES imports)
      list(JOIN imports "\n" exports)
      file(WRITE ${folder}/${name}.def "LIBRARY ${name}.dll\nEXPORTS\n${exports}\n")
      execute_process(COMMAND ${CMAKE_DLLTOOL} -d ${folder}/${name}.def -y ${lib}
        COMMAND_ERROR_IS_FATAL ANY)
    endif()
    # Ahead of the ordinary import libraries on the link line.
    target_link_libraries(${target} PRIVATE ${lib})
  endforeach()
  target_link_libraries(${target} PRIVATE delayimp)
endfunction()

# trazvik_module(NAME DEPENDS lower...) makes src/NAME its own static library
# trazvik_NAME that links only the modules named (and, through them, what lies
# below those). A build step checks every file of the folder: an #include of
# a module that is not among them fails the build, so the module order
# cannot be broken by accident. Sources are added with target_sources.
function(trazvik_module name)
  cmake_parse_arguments(MODULE "" "" "DEPENDS" ${ARGN})
  add_library(trazvik_${name} STATIC)
  target_include_directories(trazvik_${name} PUBLIC ${CMAKE_SOURCE_DIR}/src)
  target_compile_options(trazvik_${name} PRIVATE -Wall -Wextra -Wpedantic $<$<BOOL:${TRAZVIK_WERROR}>:-Werror>)

  set(allowed ${name})
  foreach(dep IN LISTS MODULE_DEPENDS)
    if(NOT TARGET trazvik_${dep})
      message(FATAL_ERROR "module ${name} depends on ${dep}, which is not defined below it")
    endif()
    target_link_libraries(trazvik_${name} PUBLIC trazvik_${dep})
    get_property(below GLOBAL PROPERTY TRAZVIK_MODULE_REACH_${dep})
    list(APPEND allowed ${dep} ${below})
  endforeach()
  list(REMOVE_DUPLICATES allowed)
  set_property(GLOBAL PROPERTY TRAZVIK_MODULE_REACH_${name} ${allowed})
  set_property(GLOBAL APPEND PROPERTY TRAZVIK_MODULES trazvik_${name})

  file(GLOB files CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.h ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  set(stamp ${CMAKE_CURRENT_BINARY_DIR}/${name}_includes.checked)
  add_custom_command(OUTPUT ${stamp}
    COMMAND ${CMAKE_COMMAND} -DMODULE=${name} "-DALLOWED=${allowed}" "-DFILES=${files}"
            -DSTAMP=${stamp} -P ${CMAKE_SOURCE_DIR}/cmake/CheckModuleIncludes.cmake
    DEPENDS ${files} ${CMAKE_SOURCE_DIR}/cmake/CheckModuleIncludes.cmake
    COMMENT "Checking the includes of module ${name}" VERBATIM)
  add_custom_target(trazvik_${name}_includes DEPENDS ${stamp})
  add_dependencies(trazvik_${name} trazvik_${name}_includes)
endfunction()

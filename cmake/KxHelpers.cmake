# kx_family(<name> SOURCES ... [DEPS kx_x ...] [LIBS ...])
# One static library per family; every family sees include/ and src/.
function(kx_family name)
  cmake_parse_arguments(F "" "" "SOURCES;DEPS;LIBS" ${ARGN})
  add_library(kx_${name} STATIC ${F_SOURCES})
  target_include_directories(kx_${name} PUBLIC
    $<BUILD_INTERFACE:${PROJECT_SOURCE_DIR}/include>
    $<BUILD_INTERFACE:${PROJECT_SOURCE_DIR}/src>)
  target_compile_definitions(kx_${name} PUBLIC KXAPI_BUILDING)
  if(F_DEPS)
    target_link_libraries(kx_${name} PUBLIC ${F_DEPS})
  endif()
  if(F_LIBS)
    target_link_libraries(kx_${name} PUBLIC ${F_LIBS})
  endif()
  set_property(GLOBAL APPEND PROPERTY KX_FAMILY_TARGETS kx_${name})
endfunction()

# kx_test(<name> SOURCES ... [LIBS ...] [ENV VAR=value] [PROPERTIES prop value ...]):
# a GoogleTest executable whose tests are registered with CTest one by one.
# Test discovery passes one environment setting through intact (not a list);
# fixtures are found through the compiled-in tests/data path.
function(kx_test name)
  cmake_parse_arguments(T "" "ENV" "SOURCES;LIBS;PROPERTIES" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE kx_testsupport ${T_LIBS} GTest::gtest GTest::gtest_main)
  set(_props ${T_PROPERTIES})
  if(T_ENV)
    list(APPEND _props ENVIRONMENT "${T_ENV}")
  endif()
  gtest_discover_tests(${name} WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
                       PROPERTIES ${_props} DISCOVERY_TIMEOUT 60)
endfunction()

# kx_fuzzer(<name> SOURCES ... LIBS ...): a libFuzzer target named fuzz_<name>.
function(kx_fuzzer name)
  cmake_parse_arguments(Z "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(fuzz_${name} ${Z_SOURCES})
  target_link_libraries(fuzz_${name} PRIVATE ${Z_LIBS})
  target_link_options(fuzz_${name} PRIVATE -fsanitize=fuzzer)
  set_property(GLOBAL APPEND PROPERTY KX_FUZZERS fuzz_${name})
endfunction()

# Adds <dir>/<family> for every family folder that has a CMakeLists.txt.
macro(kx_add_family_dirs dir)
  foreach(_fam ${KX_FAMILIES})
    if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${_fam}/CMakeLists.txt)
      add_subdirectory(${_fam})
    endif()
  endforeach()
endmacro()

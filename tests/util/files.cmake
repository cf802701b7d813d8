# File and path utilities.
kx_test(util_files_test SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/file_utils_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/fil_test.cpp
  LIBS kx_util)

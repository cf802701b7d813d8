# Support web addresses.
kx_test(util_web_test SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/web_test.cpp
  LIBS kx_web)

# Option-information and job-accounting parsers, through the exported API.
kx_test(config_parse_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/parse_test.cpp LIBS kxapi)

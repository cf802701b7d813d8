# Option-information and job-accounting parsers.
kx_fuzzer(parse_options SOURCES ${CMAKE_CURRENT_LIST_DIR}/fuzz_parse_options.cpp LIBS kx_parse)
kx_fuzzer(parse_jobaccount SOURCES ${CMAKE_CURRENT_LIST_DIR}/fuzz_parse_jobaccount.cpp LIBS kx_parse)

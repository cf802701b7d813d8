# INI loader and operations, QSF header and blocks, QSF INI variable lists.
kx_fuzzer(ini SOURCES ${CMAKE_CURRENT_LIST_DIR}/fuzz_ini.cpp LIBS kx_config)
kx_fuzzer(qsf SOURCES ${CMAKE_CURRENT_LIST_DIR}/fuzz_qsf.cpp LIBS kx_config)
kx_fuzzer(qsf_ini SOURCES ${CMAKE_CURRENT_LIST_DIR}/fuzz_qsf_ini.cpp LIBS kx_config)
# The QSF target seals its inputs with the tests' reference checksum.
target_include_directories(fuzz_qsf PRIVATE ${PROJECT_SOURCE_DIR}/tests)

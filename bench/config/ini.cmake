# INI engine workload, timed against Python's configparser by run.sh.
add_executable(bench_ini ${CMAKE_CURRENT_LIST_DIR}/bench_ini.cpp)
target_link_libraries(bench_ini PRIVATE kx_config)

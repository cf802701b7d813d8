# Job-accounting parser throughput (MB/s) on a block of many elements.
add_executable(bench_parse ${CMAKE_CURRENT_LIST_DIR}/bench_parse.cpp)
target_include_directories(bench_parse PRIVATE ${PROJECT_SOURCE_DIR}/tests)
target_link_libraries(bench_parse PRIVATE kxapi)

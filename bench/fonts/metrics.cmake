# AFM reader throughput, timed against fontTools' afmLib by bench/fonts_metrics/run.sh.
add_executable(bench_afm_reader ${CMAKE_CURRENT_LIST_DIR}/bench_afm_reader.cpp)
target_link_libraries(bench_afm_reader PRIVATE kx_fonts_metrics)

# AFM reader with its INF companion.
kx_fuzzer(afm_reader SOURCES ${CMAKE_CURRENT_LIST_DIR}/fuzz_afm_reader.cpp LIBS kx_fonts_metrics)

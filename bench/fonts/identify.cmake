# Identification speed: KxFonQueryInfo over a directory of 2,000 mixed font files.
add_executable(bench_font_identify ${CMAKE_CURRENT_LIST_DIR}/bench_identify.cpp)
target_link_libraries(bench_font_identify PRIVATE kxapi)

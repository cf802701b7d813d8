# Font tables and the AFM/INF metrics reader (internals), and the comparison
# of the AFM reader with fontTools' afmLib on real fonts.
kx_test(fonts_metrics_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/font_tables_test.cpp ${CMAKE_CURRENT_LIST_DIR}/afm_reader_test.cpp
  LIBS kx_fonts_metrics)

add_executable(afm_dump ${CMAKE_CURRENT_LIST_DIR}/afm_dump.cpp)
target_link_libraries(afm_dump PRIVATE kx_fonts_metrics)

# Debian's python3 carries python3-fonttools; a python3 found first on PATH
# (a private interpreter) may not.
find_program(KX_SYSTEM_PYTHON3 python3 PATHS /usr/bin NO_DEFAULT_PATH)
find_program(KX_SYSTEM_PYTHON3 python3)
if(KX_SYSTEM_PYTHON3)
  add_test(NAME fonts_metrics_afmlib
           COMMAND ${KX_SYSTEM_PYTHON3} ${CMAKE_CURRENT_LIST_DIR}/afm_compare.py $<TARGET_FILE:afm_dump>
                   ${PROJECT_SOURCE_DIR}/tests/data/afm /usr/share/fonts/type1/urw-base35)
  set_tests_properties(fonts_metrics_afmlib PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 300)
endif()

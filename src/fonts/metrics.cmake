# Font vocabulary and metrics: the typeface and symbol-set tables, the AFM
# reader with its INF companion and the glyph-name table.
kx_family(fonts_metrics SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/font_tables.cpp
  ${CMAKE_CURRENT_LIST_DIR}/afm_text.cpp
  ${CMAKE_CURRENT_LIST_DIR}/afm_reader.cpp
  ${CMAKE_CURRENT_LIST_DIR}/inf_reader.cpp
  ${CMAKE_CURRENT_LIST_DIR}/glyph_names.cpp
  DEPS kx_api kx_platform)

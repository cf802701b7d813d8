# Identification: the readers (internals) and KxFonQueryInfo through the
# exported interface, on real fonts and on fixtures built from byte layouts.
kx_test(fonts_identify_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/pcl_softfont_test.cpp ${CMAKE_CURRENT_LIST_DIR}/font_readers_test.cpp
  LIBS kx_fonts)
kx_test(fonts_query_info_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/query_info_test.cpp LIBS kxapi)

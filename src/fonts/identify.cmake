# Font identification: the font record, the PCL soft-font reader, the Type 1,
# PFM, PCM, DLF and FMF readers, and KxFonQueryInfo.
kx_family(fonts SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/font_info.cpp
  ${CMAKE_CURRENT_LIST_DIR}/pcl_softfont.cpp
  ${CMAKE_CURRENT_LIST_DIR}/type1_names.cpp
  ${CMAKE_CURRENT_LIST_DIR}/pfm_reader.cpp
  ${CMAKE_CURRENT_LIST_DIR}/pcm_reader.cpp
  ${CMAKE_CURRENT_LIST_DIR}/dlf_reader.cpp
  ${CMAKE_CURRENT_LIST_DIR}/identify.cpp
  DEPS kx_fonts_metrics kx_api kx_platform)

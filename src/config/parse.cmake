# Option-information and job-accounting parsers over self-describing
# element blocks.
kx_family(parse SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/element_stream.cpp
  ${CMAKE_CURRENT_LIST_DIR}/option_info.cpp
  ${CMAKE_CURRENT_LIST_DIR}/job_accounting.cpp
  ${CMAKE_CURRENT_LIST_DIR}/parse_exports.cpp
  DEPS kx_api kx_platform)

# INI engine and the files read through it: operator-panel configuration
# files and QSF files.
kx_family(config SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/ini_file.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ini_exports.cpp
  ${CMAKE_CURRENT_LIST_DIR}/opc_file.cpp
  ${CMAKE_CURRENT_LIST_DIR}/qsf_file.cpp
  DEPS kx_util kx_api kx_platform)

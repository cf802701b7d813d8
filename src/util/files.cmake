# File and path utilities: existence, size, copy, backup, rewrite, directory
# paths, the 16-bit file checksum and the file/directory name parts.
kx_family(util SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/file_utils.cpp
  ${CMAKE_CURRENT_LIST_DIR}/fil_exports.cpp
  DEPS kx_api kx_platform)

# Support web addresses: path-style addresses with INI overrides and
# query-style addresses from the system's language and version.
kx_family(web SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/web_address.cpp
  DEPS kx_config kx_api kx_platform)
target_compile_definitions(kx_web PRIVATE KXAPI_SUPPORT_BASE_URL="${KXAPI_SUPPORT_BASE_URL}")

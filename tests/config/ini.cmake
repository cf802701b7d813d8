# INI engine, operator-panel files, QSF files.
kx_test(config_ini_test SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/ini_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/opc_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/qsf_test.cpp
  LIBS kx_config)

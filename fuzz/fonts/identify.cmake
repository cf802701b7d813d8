# Identification readers: PCL font descriptor, PFM header and face name, PCM
# walk, DLF listing (with the FMF name), Type 1 name scans.
foreach(_t pcl_descriptor pfm_reader pcm_walker dlf_listing)
  kx_fuzzer(${_t} SOURCES ${CMAKE_CURRENT_LIST_DIR}/fuzz_${_t}.cpp LIBS kx_fonts)
endforeach()

# PNG output: our own chunk writer; zlib deflates, libdeflate sums and checks.
find_package(ZLIB REQUIRED)
pkg_check_modules(LIBDEFLATE REQUIRED IMPORTED_TARGET libdeflate)
target_link_libraries(kelvane_obj PRIVATE ZLIB::ZLIB PkgConfig::LIBDEFLATE)
target_link_libraries(kelvane PUBLIC ZLIB::ZLIB PkgConfig::LIBDEFLATE)
target_link_libraries(kelvane_shared PRIVATE ZLIB::ZLIB PkgConfig::LIBDEFLATE)

# The tests, the encoder fuzz target and the benchmark read and write PNG through libpng, a
# decoder independent of ours.
find_package(PNG REQUIRED)
function(kelvane_link_libpng)
  foreach(target kelvane_tests kelvane_bench encoder_fuzzer encoder_fuzz_replay)
    if(TARGET ${target})
      target_link_libraries(${target} PRIVATE PNG::PNG)
    endif()
  endforeach()
endfunction()
cmake_language(DEFER CALL kelvane_link_libpng)

# PNG output read by a second decoder (Pillow, installed by scripts/setup.sh).
if(KELVANE_TESTS)
  enable_testing()
  add_test(NAME PngOutput.SecondDecoderReadsTheExamplePngs
    COMMAND bash ${CMAKE_SOURCE_DIR}/tests/png_second_decoder.sh $<TARGET_FILE:kelvane_cli>
            ${CMAKE_SOURCE_DIR}/examples/png_outputs.kvs)
endif()

# PNG output: libpng writes the chunks, zlib compresses.
find_package(PNG REQUIRED)
target_link_libraries(kelvane_obj PRIVATE PNG::PNG)
target_link_libraries(kelvane PUBLIC PNG::PNG)
target_link_libraries(kelvane_shared PRIVATE PNG::PNG)

# PNG output read by a second decoder (Pillow, installed by scripts/setup.sh).
if(KELVANE_TESTS)
  enable_testing()
  add_test(NAME PngOutput.SecondDecoderReadsTheExamplePngs
    COMMAND bash ${CMAKE_SOURCE_DIR}/tests/png_second_decoder.sh $<TARGET_FILE:kelvane_cli>
            ${CMAKE_SOURCE_DIR}/examples/png_outputs.kvs)
endif()

# PNG output: libpng writes the chunks, zlib compresses.
find_package(PNG REQUIRED)
target_link_libraries(kelvane_obj PRIVATE PNG::PNG)
target_link_libraries(kelvane PUBLIC PNG::PNG)
target_link_libraries(kelvane_shared PRIVATE PNG::PNG)

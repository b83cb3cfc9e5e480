# The typical request scaled from 400 x 300 to 7680 x 4320: time per pixel and peak memory per size.
if(KELVANE_BENCH)
  add_executable(kelvane_scaling ${CMAKE_SOURCE_DIR}/bench/scaling/scaling.cpp)
  target_include_directories(kelvane_scaling PRIVATE ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR}/bench)
  target_link_libraries(kelvane_scaling PRIVATE kelvane benchmark::benchmark)
endif()

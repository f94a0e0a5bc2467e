# The wave file reader alone: the rest of the platform layer needs X11, D-Bus and libcanberra.
tellwise_add_fuzzer(NAME fuzz_wave_header SOURCES ${CMAKE_CURRENT_LIST_DIR}/fuzz_wave_header.cpp
    ${PROJECT_SOURCE_DIR}/src/platform/WaveFile.cpp)
target_link_libraries(fuzz_wave_header PRIVATE Qt6::Core)

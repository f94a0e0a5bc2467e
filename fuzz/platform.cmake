tellwise_add_fuzzer(NAME fuzz_wave_header SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_wave_header.cpp
    LIBS tellwise_platform)

# The caller picture's JPEG decoder on arbitrary bytes. It is built straight into the target,
# since the picture loader around it needs the compiled-in skins.
find_package(JPEG REQUIRED)
tellwise_add_fuzzer(NAME fuzz_picture SOURCES ${CMAKE_CURRENT_LIST_DIR}/fuzz_picture.cpp
    ${PROJECT_SOURCE_DIR}/src/ui/JpegDecoder.cpp)
target_link_libraries(fuzz_picture PRIVATE Qt6::Gui JPEG::JPEG)

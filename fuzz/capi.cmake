# The message codec alone, without the library loader and the monitor around it.
set(_capi ${PROJECT_SOURCE_DIR}/src/capi)
tellwise_add_fuzzer(NAME fuzz_capi_message SOURCES ${CMAKE_CURRENT_LIST_DIR}/fuzz_capi_message.cpp
    ${_capi}/CpMsg.cpp ${_capi}/CpStruct.cpp RUNS 20000)
target_link_libraries(fuzz_capi_message PRIVATE Qt6::Core)

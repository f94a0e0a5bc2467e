tellwise_add_fuzzer(NAME fuzz_capi_message SOURCES ${CMAKE_CURRENT_LIST_DIR}/fuzz_capi_message.cpp LIBS tellwise_capi
                    RUNS 20000)

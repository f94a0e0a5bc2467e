# The three binary data files, loaded through the store from arbitrary bytes.
foreach(_what addressbook groups calls)
    tellwise_add_fuzzer(NAME fuzz_${_what} SOURCES ${CMAKE_CURRENT_LIST_DIR}/fuzz_${_what}.cpp LIBS tellwise_store)
    target_include_directories(fuzz_${_what} PRIVATE ${CMAKE_CURRENT_LIST_DIR})
endforeach()

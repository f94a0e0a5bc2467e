# The address-book file reader on arbitrary bytes, through the calls the import makes. Its
# sources are built straight into the target, which needs no settings.
set(_wab ${PROJECT_SOURCE_DIR}/src/exchange)
tellwise_add_fuzzer(NAME fuzz_wab SOURCES ${CMAKE_CURRENT_LIST_DIR}/fuzz_wab.cpp
    ${_wab}/ImportWabFunc.cpp ${_wab}/VCard.cpp ${_wab}/WabApi.cpp ${_wab}/WabCode.cpp ${_wab}/WabIab.cpp
    LIBS tellwise_store)
# The vCard reader on arbitrary bytes, and the writer on whatever it reads.
tellwise_add_fuzzer(NAME fuzz_vcard SOURCES ${CMAKE_CURRENT_LIST_DIR}/fuzz_vcard.cpp
    ${_wab}/VCard.cpp LIBS tellwise_store)

# The readers' own code is instrumented for coverage; the fuzzer links libFuzzer's main.
foreach(lib zelvor_xml zelvor_soap zelvor_register zelvor_vies)
  target_compile_options(${lib} PRIVATE -fsanitize=fuzzer-no-link,address)
endforeach()
add_executable(zelvor_answer_reader_fuzz ${CMAKE_CURRENT_LIST_DIR}/answer_reader_fuzz.cpp)
target_link_libraries(zelvor_answer_reader_fuzz PRIVATE zelvor_register zelvor_vies)
target_compile_options(zelvor_answer_reader_fuzz PRIVATE -fsanitize=fuzzer,address)
target_link_options(zelvor_answer_reader_fuzz PRIVATE -fsanitize=fuzzer,address)
zelvor_warnings(zelvor_answer_reader_fuzz)

pkg_check_modules(SOAP_BENCH_HTTPLIB REQUIRED IMPORTED_TARGET cpp-httplib)
add_executable(zelvor_soap_bench ${CMAKE_CURRENT_LIST_DIR}/soap_bench.cpp)
target_link_libraries(zelvor_soap_bench PRIVATE zelvor_register zelvor_test_doubles
                                                benchmark::benchmark PkgConfig::SOAP_BENCH_HTTPLIB)
zelvor_warnings(zelvor_soap_bench)

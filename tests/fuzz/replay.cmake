# The fuzz targets' committed corpus replayed by every native build (g++ and
# clang, with and without the sanitizers), without libFuzzer.
foreach(name export_sequence text_functions)
    add_executable(${name}_replay ${PROJECT_SOURCE_DIR}/tests/fuzz/${name}_fuzzer.cpp
        ${PROJECT_SOURCE_DIR}/tests/fuzz/replay_main.cpp
        ${PROJECT_SOURCE_DIR}/tests/support/allocation_failure.cpp)
    target_link_libraries(${name}_replay PRIVATE stats_native)
    add_test(NAME native.fuzz_corpus.${name}
             COMMAND ${name}_replay ${PROJECT_SOURCE_DIR}/tests/fuzz/corpus/${name})
endforeach()

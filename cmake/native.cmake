# Native build: the pure logic with GoogleTest under AddressSanitizer and
# UndefinedBehaviorSanitizer, and the codec benchmark.
find_package(GTest REQUIRED)
find_package(benchmark QUIET)

set(RP_SANITIZE -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)

# The pure sources see only the layers they belong to in the Win32 build,
# where that is checked; natively they and the tests see every folder.
set(RP_NATIVE_INCLUDES ${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/res)
foreach(folder ${RP_LAYER_FOLDERS})
  list(APPEND RP_NATIVE_INCLUDES ${CMAKE_SOURCE_DIR}/${folder})
endforeach()

add_library(rp_pure STATIC ${RP_PURE_SOURCES})
target_include_directories(rp_pure PUBLIC ${RP_NATIVE_INCLUDES})
target_compile_options(rp_pure PRIVATE -Wall -Wextra ${RP_SANITIZE})
target_link_options(rp_pure PUBLIC ${RP_SANITIZE})

file(GLOB RP_NATIVE_TESTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/native/*.cpp)
add_executable(native_tests ${RP_NATIVE_TESTS})
target_compile_options(native_tests PRIVATE -Wall ${RP_SANITIZE})
target_link_libraries(native_tests PRIVATE rp_pure GTest::gtest GTest::gtest_main)
include(GoogleTest)
gtest_discover_tests(native_tests PROPERTIES LABELS native)

if(benchmark_FOUND)
  # Built without sanitizers and optimised: figures, not a test.
  add_library(rp_pure_bench STATIC ${RP_PURE_SOURCES})
  target_include_directories(rp_pure_bench PUBLIC ${RP_NATIVE_INCLUDES})
  target_compile_options(rp_pure_bench PRIVATE -O2)
  add_executable(bench_codec ${CMAKE_SOURCE_DIR}/bench/bench_codec.cpp)
  target_compile_options(bench_codec PRIVATE -O2)
  target_link_libraries(bench_codec PRIVATE rp_pure_bench benchmark::benchmark)
endif()

# The structure (docs/layers.md): includes by layer, one owner folder for each
# program-wide variable, the sizes of files and functions.
add_test(NAME structure COMMAND bash ${CMAKE_SOURCE_DIR}/tools/check-structure.sh)
set_tests_properties(structure PROPERTIES LABELS native)

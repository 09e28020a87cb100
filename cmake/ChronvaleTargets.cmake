# Helpers shared by the subsystem folders.

# chronvale_library(NAME SOURCES...) - a static library target named chronvale_NAME
# whose headers are included as "NAME/header.h" from src/. The Qt-free libraries
# get no moc step.
function(chronvale_library name)
  add_library(chronvale_${name} STATIC ${ARGN})
  if(name MATCHES "^(geo|astro|render)$")
    set_target_properties(chronvale_${name} PROPERTIES AUTOMOC OFF)
  endif()
  target_include_directories(chronvale_${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_compile_definitions(chronvale_${name} PUBLIC
    CHRONVALE_VERSION_TEXT="${CHRONVALE_VERSION_TEXT}")
endfunction()

# chronvale_test(NAME SOURCES... LIBS libs...) - one GoogleTest executable,
# registered with CTest. Its main (tests/support/test_main.cpp) pins the time
# zone to UTC, uses Qt's offscreen platform and gives each process a fresh home
# and XDG folders.
function(chronvale_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES} ${PROJECT_SOURCE_DIR}/tests/support/test_main.cpp)
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gmock)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  target_compile_definitions(${name} PRIVATE
    CHRONVALE_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
    CHRONVALE_BINARY_DIR="${PROJECT_BINARY_DIR}"
    CHRONVALE_TEST_DATA="${PROJECT_SOURCE_DIR}/tests/data")
  # Test names start with the executable's name ("test_net.HttpClient.…"), so that
  # `ctest -R net` selects one subsystem.
  gtest_discover_tests(${name}
    TEST_PREFIX "${name}."
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 60
    PROPERTIES TIMEOUT 300)
endfunction()

# chronvale_bench(NAME SOURCES... LIBS libs...) - one Google Benchmark program.
function(chronvale_bench name)
  cmake_parse_arguments(B "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${B_SOURCES})
  target_link_libraries(${name} PRIVATE ${B_LIBS} benchmark::benchmark benchmark::benchmark_main)
  target_compile_definitions(${name} PRIVATE
    CHRONVALE_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
    CHRONVALE_BINARY_DIR="${PROJECT_BINARY_DIR}"
    CHRONVALE_TEST_DATA="${PROJECT_SOURCE_DIR}/tests/data")
  set_property(GLOBAL APPEND PROPERTY CHRONVALE_BENCHMARKS ${name})
endfunction()

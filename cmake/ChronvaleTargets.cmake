# Helpers shared by the subsystem folders.

# chronvale_library(NAME SOURCES... [QT]) - a static library target named
# chronvale_NAME whose headers are included as "NAME/header.h" from src/.
function(chronvale_library name)
  add_library(chronvale_${name} STATIC ${ARGN})
  target_include_directories(chronvale_${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_compile_definitions(chronvale_${name} PUBLIC
    CHRONVALE_VERSION_TEXT="${CHRONVALE_VERSION_TEXT}")
endfunction()

# chronvale_test(NAME SOURCES... LIBS libs...) - one GoogleTest executable,
# registered with CTest. Every test runs with a pinned time zone, an isolated
# home and settings folder, and Qt's offscreen platform.
function(chronvale_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
  target_compile_definitions(${name} PRIVATE
    CHRONVALE_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
    CHRONVALE_BINARY_DIR="${PROJECT_BINARY_DIR}"
    CHRONVALE_TEST_DATA="${PROJECT_SOURCE_DIR}/tests/data")
  set(home ${PROJECT_BINARY_DIR}/test-home/${name})
  file(MAKE_DIRECTORY ${home})
  # The environment goes on the command line through env(1): gtest_discover_tests
  # splits a list given as the ENVIRONMENT property and would keep only its first entry.
  set_property(TARGET ${name} PROPERTY CROSSCOMPILING_EMULATOR
    env TZ=UTC LC_ALL=C.UTF-8 QT_QPA_PLATFORM=offscreen HOME=${home}
    XDG_CONFIG_HOME=${home}/config XDG_DATA_HOME=${home}/data
    XDG_CACHE_HOME=${home}/cache XDG_RUNTIME_DIR=${home}/run)
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

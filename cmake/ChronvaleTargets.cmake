# Helpers shared by the subsystem folders.

# chronvale_library(NAME SOURCES...) - a static library target named chronvale_NAME
# for the folder it is declared in. Its headers are included by their path under
# src/ ("geo/city.h", "app/mainwindow/main_window.h"), but each library gets an
# include root of its own: a folder in the build tree that links to this folder's
# headers alone (not those of nested library folders such as render/qt). A library
# sees the headers of what it links and nothing else, so an include of a higher
# layer does not compile. Folders outside src/ (tools) use their own folder as the
# root. The Qt-free libraries get no moc step.
function(chronvale_library name)
  add_library(chronvale_${name} STATIC ${ARGN})
  if(name MATCHES "^(core|geo|astro|render)$")
    set_target_properties(chronvale_${name} PROPERTIES AUTOMOC OFF)
  endif()
  chronvale_include_root(chronvale_${name} PUBLIC)
  target_compile_definitions(chronvale_${name} PUBLIC
    CHRONVALE_VERSION_TEXT="${CHRONVALE_VERSION_TEXT}")
endfunction()

# chronvale_include_root(TARGET SCOPE) - gives TARGET the include root of the
# folder it is declared in (see chronvale_library).
function(chronvale_include_root target scope)
  set(here ${CMAKE_CURRENT_SOURCE_DIR})
  file(RELATIVE_PATH prefix ${PROJECT_SOURCE_DIR}/src ${here})
  if(prefix MATCHES "^\\.\\.")
    target_include_directories(${target} ${scope} ${here})
    return()
  endif()
  set(root ${PROJECT_BINARY_DIR}/include/${target})
  file(REMOVE_RECURSE ${root})
  file(GLOB_RECURSE headers CONFIGURE_DEPENDS RELATIVE ${here} ${here}/*.h)
  foreach(header IN LISTS headers)
    # A header below a folder with a CMakeLists.txt of its own belongs to that library.
    set(nested FALSE)
    get_filename_component(dir ${header} DIRECTORY)
    while(dir)
      if(EXISTS ${here}/${dir}/CMakeLists.txt)
        set(nested TRUE)
        break()
      endif()
      get_filename_component(dir ${dir} DIRECTORY)
    endwhile()
    if(nested)
      continue()
    endif()
    get_filename_component(parent ${root}/${prefix}/${header} DIRECTORY)
    file(MAKE_DIRECTORY ${parent})
    file(CREATE_LINK ${here}/${header} ${root}/${prefix}/${header} SYMBOLIC)
  endforeach()
  target_include_directories(${target} ${scope} ${root})
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

# chronvale_folder_definitions(TARGET SCOPE) - what the data folder lookup needs:
# the installed data folder relative to the executable's folder, and, for the
# executables of the build tree alone, the build tree and the source tree's data/.
function(chronvale_folder_definitions target scope)
  target_compile_definitions(${target} ${scope}
    CHRONVALE_DATA_FROM_BIN="${CHRONVALE_DATA_FROM_BIN}"
    CHRONVALE_BUILD_DIR="${PROJECT_BINARY_DIR}"
    CHRONVALE_SOURCE_DATA="${PROJECT_SOURCE_DIR}/data")
endfunction()

# One static library per folder of src/: every .cpp in the folder (not below it) is part of it.
# New files are picked up on the next build without editing this file.
function(stumpwise_library name dir)
  file(GLOB _src CONFIGURE_DEPENDS ${dir}/*.cpp ${dir}/*.h ${dir}/*.qrc)
  file(GLOB _cpp CONFIGURE_DEPENDS ${dir}/*.cpp)
  if(_cpp)
    add_library(${name} STATIC ${_src})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name} PUBLIC ${ARGN})
  else()
    # A folder whose code has not landed yet: its users still link.
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name} INTERFACE ${ARGN})
  endif()
endfunction()

# One test program per folder of src/. Qt-using tests get a QApplication on the offscreen platform;
# tests of graphics-free libraries link no Qt graphics and get a QCoreApplication.
function(stumpwise_test name dir)
  file(GLOB _src CONFIGURE_DEPENDS ${dir}/*.cpp ${dir}/*.h)
  if(NOT _src)
    return()
  endif()
  stumpwise_test_program(${name} "${_src}" ${ARGN})
endfunction()

# A test program of the given sources, linked with the given libraries and registered with CTest.
function(stumpwise_test_program name sources)
  add_executable(${name} ${sources} ${PROJECT_SOURCE_DIR}/tests/common/test_main.cpp)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests/common ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${name} PRIVATE ${ARGN} GTest::gtest GTest::gmock Qt6::Test)
  target_compile_definitions(${name} PRIVATE
    STUMPWISE_FIXTURES="${PROJECT_SOURCE_DIR}/tests/fixtures"
    STUMPWISE_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
  # Shuffled on every run, so that no test can lean on what an earlier one left behind.
  add_test(NAME ${name} COMMAND ${name} --gtest_shuffle)
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LC_ALL=C.UTF-8;TZ=UTC"
    TIMEOUT 900)
endfunction()

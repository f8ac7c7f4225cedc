# One static library per folder of src/, holding every source, header and form below it.
function(dovin_library name)
  cmake_parse_arguments(ARG "" "" "DEPENDS" ${ARGN})
  file(GLOB_RECURSE srcs CONFIGURE_DEPENDS
       ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h ${CMAKE_CURRENT_SOURCE_DIR}/*.ui)
  if(NOT srcs)
    set(srcs ${CMAKE_SOURCE_DIR}/cmake/empty.cpp)
  endif()
  add_library(${name} STATIC ${srcs})
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC ${ARG_DEPENDS})
  target_compile_options(${name} PRIVATE -Wall -Wextra -Wno-unused-parameter)
  set_target_properties(${name} PROPERTIES AUTOUIC_SEARCH_PATHS ${CMAKE_CURRENT_SOURCE_DIR})
endfunction()

# One GoogleTest executable per folder of tests/, every test registered with ctest.
function(dovin_tests name)
  cmake_parse_arguments(ARG "" "" "DEPENDS" ${ARGN})
  file(GLOB_RECURSE srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  if(NOT srcs)
    return()
  endif()
  add_executable(${name} ${srcs})
  # window tests reach the forms' widgets through their generated ui_*.h headers
  file(GLOB_RECURSE forms CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/*.ui)
  set(form_dirs "")
  foreach(form ${forms})
    get_filename_component(dir ${form} DIRECTORY)
    list(APPEND form_dirs ${dir})
  endforeach()
  list(REMOVE_DUPLICATES form_dirs)
  set_target_properties(${name} PROPERTIES AUTOUIC_SEARCH_PATHS "${form_dirs}")
  target_link_libraries(${name} PRIVATE dovin_testsupport ${ARG_DEPENDS})
  target_compile_definitions(${name} PRIVATE DOVIN_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
  gtest_discover_tests(${name}
    DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" TIMEOUT 300)
endfunction()

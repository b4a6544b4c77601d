# Helpers shared by every folder's CMakeLists.txt.

# quillon_folder_library(NAME [DEPS targets...])
# One static library per source folder, built from every .cpp in it. A folder
# without sources yet becomes an interface library so the stack still links.
function(quillon_folder_library name)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB_RECURSE srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h
       ${CMAKE_CURRENT_SOURCE_DIR}/*.qrc)
  set(cpp ${srcs})
  list(FILTER cpp INCLUDE REGEX "\\.cpp$")
  if(cpp)
    add_library(quillon_${name} STATIC ${srcs})
    target_include_directories(quillon_${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(quillon_${name} PUBLIC ${ARG_DEPS})
  else()
    add_library(quillon_${name} INTERFACE)
    target_include_directories(quillon_${name} INTERFACE ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(quillon_${name} INTERFACE ${ARG_DEPS})
  endif()
  add_library(quillon::${name} ALIAS quillon_${name})
endfunction()

# quillon_test(NAME SOURCES files... [LIBS targets...] LABEL unit|db|server|gui [TIMEOUT s])
# One test executable per unit; the label decides which services it needs.
function(quillon_test name)
  cmake_parse_arguments(ARG "" "LABEL;TIMEOUT" "SOURCES;LIBS" ${ARGN})
  if(NOT ARG_LABEL)
    message(FATAL_ERROR "quillon_test(${name}) needs a LABEL")
  endif()
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE Qt6::Test quillon::testsupport ${ARG_LIBS})
  add_test(NAME ${name} COMMAND ${name})
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 120)
  endif()
  set(env "QT_QPA_PLATFORM=offscreen" "QUILLON_BUILD_DIR=${PROJECT_BINARY_DIR}"
          "QUILLON_SOURCE_DIR=${PROJECT_SOURCE_DIR}")
  set_tests_properties(${name} PROPERTIES LABELS ${ARG_LABEL} TIMEOUT ${ARG_TIMEOUT}
                       ENVIRONMENT "${env}")
endfunction()

# Common settings for every target of the project.
#   hv_settings(<target>)  warnings, no fused multiply-add, optional sanitizers
function(hv_settings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wshadow -ffp-contract=off)
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
    # g++ 12 at -O3 reports overlapping copies inside std::string's own operator+ (a false alarm in the
    # library headers, fixed in g++ 13); our code's warnings stay on.
    target_compile_options(${target} PRIVATE -Wno-restrict)
  endif()
  if(HV_SANITIZE)
    target_compile_options(${target} PRIVATE -fsanitize=address,undefined -fno-omit-frame-pointer
                                             -fno-sanitize-recover=undefined)
    target_link_options(${target} PRIVATE -fsanitize=address,undefined)
  endif()
endfunction()

# hv_library(<name> <sources...>): a static library with the project settings.
function(hv_library name)
  add_library(${name} STATIC ${ARGN})
  hv_settings(${name})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
endfunction()

# hv_test(<name> LABEL <label> SOURCES <files...> LIBS <libs...>)
function(hv_test name)
  cmake_parse_arguments(T "" "LABEL" "SOURCES;LIBS" ${ARGN})
  # A test whose libraries are not part of this build (e.g. Qt ones with HV_GUI=OFF) is left out.
  foreach(lib ${T_LIBS})
    if(NOT TARGET ${lib})
      return()
    endif()
  endforeach()
  add_executable(${name} ${T_SOURCES})
  hv_settings(${name})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main GTest::gmock)
  target_sources(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests/support/test_environment.cpp)
  include(GoogleTest)
  # DISCOVERY_TIMEOUT is a keyword of its own: inside PROPERTIES it would end the property list.
  if(HV_SANITIZE)
    # Also reaches the processes (halvane2, halvane2-cli) that some tests start.
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES LABELS ${T_LABEL}
                         ENVIRONMENT "LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tests/lsan.supp")
  else()
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES LABELS ${T_LABEL})
  endif()
endfunction()

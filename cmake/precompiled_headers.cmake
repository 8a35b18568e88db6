# Most of a cold build goes into parsing the same standard headers again for
# every file: each library parses them once instead, into a precompiled header
# that its files start from. Off, every file parses its own includes as
# written (a check that none leans on the precompiled ones).
# On by default with clang only (the fuzz targets' build): gcc 12 lets its
# optimiser's warnings (-Warray-bounds and its kin) through from inside the
# standard headers when these come precompiled, where it keeps them quiet
# otherwise, and a false "out of bounds" in the copy of a std::string then
# fails the build. A compiler cache (CMAKE_CXX_COMPILER_LAUNCHER=ccache)
# cannot store files compiled against a precompiled header unless told to
# overlook its time stamps, and already spares what the header would.
if(CMAKE_CXX_COMPILER_ID STREQUAL "Clang" AND NOT CMAKE_CXX_COMPILER_LAUNCHER MATCHES "ccache")
  set(xrdf_pch_default ON)
else()
  set(xrdf_pch_default OFF)
endif()
option(XRDF_PCH "Precompile the standard headers that most files include" ${xrdf_pch_default})

# What nearly every file of every layer includes, directly or through the
# layers' own headers.
set(XRDF_PCH_STD
  <algorithm> <array> <cmath> <cstddef> <cstdint> <functional> <limits> <map> <memory> <optional>
  <stdexcept> <string> <string_view> <utility> <vector>)

# xrdf_precompile(target): the standard headers, parsed once for the target's
# files. Worth it only for targets of many files: a precompiled header costs
# about as much as two or three of them.
function(xrdf_precompile target)
  if(XRDF_PCH)
    target_precompile_headers(${target} PRIVATE ${XRDF_PCH_STD})
  endif()
endfunction()

# The test files compile without optimisation, where gcc's warnings from
# inside precompiled standard headers do not arise: each test target parses
# GoogleTest, <regex> and the standard headers once, and with its fixture
# header (given as ARGN) the application's headers that nearly every one of
# its files starts from. Off under a compiler cache, as above.
if(NOT CMAKE_CXX_COMPILER_LAUNCHER MATCHES "ccache")
  set(xrdf_test_pch_default ON)
else()
  set(xrdf_test_pch_default OFF)
endif()
option(XRDF_TEST_PCH "Precompile the headers that the test files of each layer include" ${xrdf_test_pch_default})

function(xrdf_precompile_tests target)
  if(XRDF_TEST_PCH)
    target_precompile_headers(${target} PRIVATE ${XRDF_PCH_STD} <gtest/gtest.h> <regex> <sstream> <fstream>
      <filesystem> <random> <set> ${ARGN})
  endif()
endfunction()

# Precompiled headers and unity builds for the project's targets.
#
# A unity build compiles a target's sources TOVIRA_UNITY_BATCH at a time, as one translation
# unit, so that the standard library and GoogleTest are parsed, instantiated and described in
# debug information once a batch instead of once a file. The files of one batch share one file
# scope, so two file-local helpers of the same name (static functions, anonymous-namespace
# names) would clash. tovira_unity_loners() looks for such names when CMake configures, and a
# file that repeats a name already defined by another file of its target is compiled on its own,
# so that a new file's helper named like another's does not break the build; it only compiles a
# little slower. The search reads declarations that start in the first column (the project's
# style), so a clash it cannot see (a helper declared over several lines with its name on a later
# one) still fails to build: name file-local helpers after their file's subject, or keep the
# file apart. A file that must stay alone for another reason says so:
#
#   set_source_files_properties(path/File.cpp PROPERTIES SKIP_UNITY_BUILD_INCLUSION ON)
#
# -DTOVIRA_UNITY=OFF builds every file on its own (for instance to bisect a puzzling error).
#
# Precompiled headers pay with clang, whose precompiled files load lazily; GCC reads its whole
# precompiled file (about 100 MB for these headers) into every translation unit, which costs more
# than it saves, so they are on for clang only unless TOVIRA_PCH says otherwise.

if(CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
  set(tovira_pch_default ON)
else()
  set(tovira_pch_default OFF)
endif()
option(TOVIRA_PCH "Precompile the standard library's and GoogleTest's headers for each target"
  ${tovira_pch_default})
option(TOVIRA_UNITY "Compile each target's sources in batches (unity build)" ON)
set(TOVIRA_UNITY_BATCH 8 CACHE STRING "Source files per batch of a unity build")

# The standard library headers that most of our files include, directly or through ours. Only
# third-party headers go here, so that a file that forgets one of our includes still fails.
set(TOVIRA_PCH_STD
  <algorithm> <atomic> <chrono> <condition_variable> <cstdint> <cstdlib> <cstring>
  <functional> <map> <memory> <mutex> <optional> <set> <sstream> <string> <string_view>
  <thread> <utility> <vector>)

# Sets `out` to the files of the list that must not join a unity batch: those that define, at
# file scope, a name that an earlier file of the list already defines (a helper function,
# variable, type, alias or macro), and those that open a namespace for the rest of the batch
# ("using namespace"). It reads declarations that start in the first column, as the project's
# style writes everything at namespace scope.
function(tovira_unity_loners out)
  set(seen)
  set(loners)
  foreach(src ${ARGN})
    if(NOT src MATCHES "\\.(cpp|cc|cxx)$")
      continue()
    endif()
    file(STRINGS ${src} lines REGEX
      "^(#define |using |static |inline |constexpr |const |struct |class |enum |union |[A-Za-z_][A-Za-z0-9_:<>,]*[ *&]+[A-Za-z_])")
    set(names)
    set(alone FALSE)
    foreach(line IN LISTS lines)
      set(name "")
      if(line MATCHES "^using namespace ")
        set(alone TRUE)
      elseif(line MATCHES "^#define ([A-Za-z_][A-Za-z0-9_]*)")
        set(name ${CMAKE_MATCH_1})
      elseif(line MATCHES "^using ([A-Za-z_][A-Za-z0-9_]*) *=")
        set(name ${CMAKE_MATCH_1})
      elseif(line MATCHES "^(struct|class|union|enum) ")
        # A definition, not a declaration of a type that another file defines.
        if(line MATCHES "^(struct|class|union|enum|enum class) ([A-Za-z_][A-Za-z0-9_]*)[^;]*$")
          set(name ${CMAKE_MATCH_2})
        endif()
      elseif(line MATCHES "^namespace|^return|^template|^typedef")
      elseif(line MATCHES "^[A-Za-z_][A-Za-z0-9_:<>, *&]*[ *&]([A-Za-z_][A-Za-z0-9_]*) *(\\(|=|;|\\{|\\[)")
        set(name ${CMAKE_MATCH_1})
      endif()
      if(name AND NOT name MATCHES "^(main|operator|override|const|final)$")
        list(APPEND names ${name})
      endif()
    endforeach()
    list(REMOVE_DUPLICATES names)
    foreach(name IN LISTS names)
      if(name IN_LIST seen)
        set(alone TRUE)
        break()
      endif()
    endforeach()
    if(alone)
      list(APPEND loners ${src})
    else()
      list(APPEND seen ${names})
    endif()
  endforeach()
  set(${out} ${loners} PARENT_SCOPE)
endfunction()

# Precompiles the standard headers, and `extra` headers after them, for a target's C++ sources;
# makes the target a unity build when TOVIRA_UNITY is on.
function(tovira_build_speed target)
  if(TOVIRA_PCH)
    set(headers ${TOVIRA_PCH_STD} ${ARGN})
    list(TRANSFORM headers PREPEND "$<$<COMPILE_LANGUAGE:CXX>:")
    list(TRANSFORM headers APPEND ">")
    target_precompile_headers(${target} PRIVATE ${headers})
  endif()
  if(TOVIRA_UNITY)
    get_target_property(sources ${target} SOURCES)
    tovira_unity_loners(loners ${sources})
    if(loners)
      set_source_files_properties(${loners} PROPERTIES SKIP_UNITY_BUILD_INCLUSION ON)
    endif()
    set_target_properties(${target} PROPERTIES UNITY_BUILD ON
      UNITY_BUILD_BATCH_SIZE ${TOVIRA_UNITY_BATCH})
    if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
      # GCC takes every file of a batch after the first for a header, and so warns of each
      # test fixture that derives from a class of the file's anonymous namespace, as if that
      # class were shared between files; in a batch it is not.
      target_compile_options(${target} PRIVATE $<$<COMPILE_LANGUAGE:CXX>:-Wno-subobject-linkage>)
    endif()
  endif()
endfunction()

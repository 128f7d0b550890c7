# Checks tovira_unity_loners() on small sources written here: which files a unity build must
# compile on their own. Run by ctest as "cmake -P cmake/UnityLonersTest.cmake" with DIR set to a
# scratch folder.
cmake_minimum_required(VERSION 3.20)
include(${CMAKE_CURRENT_LIST_DIR}/BuildSpeed.cmake)

set(failures 0)
function(expect_loners what expected)
  tovira_unity_loners(got ${ARGN})
  list(TRANSFORM got REPLACE ".*/" "")
  if(NOT "${got}" STREQUAL "${expected}")
    message(SEND_ERROR "${what}: expected loners '${expected}', got '${got}'")
  endif()
endfunction()

function(source name text)
  file(WRITE ${DIR}/${name} "${text}")
endfunction()

# File-local helpers of the same name in two files: the second is kept apart, the first stays.
source(First.cpp "#include \"First.h\"\n\nnamespace {\nstd::mutex gMutex;\nconstexpr double kRowPitch = 80;\n}  // namespace\n\nvoid First::run() {\n  std::lock_guard<std::mutex> lock(gMutex);\n}\n")
source(Second.cpp "namespace {\n\nstd::mutex gMutex;\n\n}  // namespace\n")
source(Third.cpp "static std::string textOf(const Value& value) { return value.str(); }\n")
source(Fourth.cpp "namespace {\nstd::string textOf(const Value& value,\n                   int width) {\n  return {};\n}\n}  // namespace\n")
source(Fifth.cpp "namespace {\nstruct NodeDeleter {\n  void operator()(void* node) const;\n};\nusing Node = std::unique_ptr<void, NodeDeleter>;\n}  // namespace\n")
source(Sixth.cpp "namespace {\nstruct NodeDeleter;\nusing Item = int;\n}  // namespace\n")
source(Seventh.cpp "#define CHECKED(x) x\nconst bool kRegistered = [] { return true; }();\n")
source(Eighth.cpp "#define CHECKED(x) (x)\n")
expect_loners("repeated helpers" "Second.cpp;Fourth.cpp;Eighth.cpp"
  ${DIR}/First.cpp ${DIR}/Second.cpp ${DIR}/Third.cpp ${DIR}/Fourth.cpp ${DIR}/Fifth.cpp
  ${DIR}/Sixth.cpp ${DIR}/Seventh.cpp ${DIR}/Eighth.cpp)

# Members defined out of line, tests and forward declarations are no file-local names: classes
# that each define run() and tests of the same fixture keep their files together.
source(A.cpp "class Widget;\n\nvoid Alpha::run() {}\nstd::string Alpha::name() const { return \"a\"; }\nTEST_F(AlphaTest, Runs) {\n  run();\n}\n")
source(B.cpp "class Widget;\n\nvoid Beta::run() {}\nstd::string Beta::name() const { return \"b\"; }\nTEST_F(AlphaTest, Names) {\n  name();\n}\n")
expect_loners("members and tests" "" ${DIR}/A.cpp ${DIR}/B.cpp)

# A using-directive would reach into the files after it in its batch.
source(Open.cpp "using namespace std::chrono_literals;\n")
expect_loners("using-directive" "Open.cpp" ${DIR}/A.cpp ${DIR}/Open.cpp)

# Native build of the portable core: its tests run under AddressSanitizer and
# UndefinedBehaviorSanitizer.
set(SANITIZE_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer -g)

# The portable code compiled once, for the tests' library and both tools.
add_library(portable_objects OBJECT ${PORTABLE_SOURCES} ${NATIVE_BOUNDARY_SOURCES})
project_target_options(portable_objects)
target_compile_options(portable_objects PRIVATE ${SANITIZE_FLAGS})

add_library(portable_core STATIC $<TARGET_OBJECTS:portable_objects> src/base/fatal_posix.cpp)
project_target_options(portable_core)
target_compile_options(portable_core PRIVATE ${SANITIZE_FLAGS})
target_link_options(portable_core PUBLIC ${SANITIZE_FLAGS})

file(GLOB_RECURSE NATIVE_TEST_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/*_native_test.cpp)
# medium-make's tests link its code and are a program of their own (below).
list(FILTER NATIVE_TEST_SOURCES EXCLUDE REGEX "/tests/medium_make/")
add_executable(native_tests ${NATIVE_TEST_SOURCES})
project_target_options(native_tests)
target_compile_options(native_tests PRIVATE ${SANITIZE_FLAGS})
target_link_libraries(native_tests PRIVATE portable_core gtest_main)
add_test(NAME native_tests COMMAND native_tests --gtest_output=xml:${CMAKE_BINARY_DIR}/results/native_tests.xml)

# medium-check, the publisher's checker: the installer's own readers with its
# fatal errors caught (so without the native stand-in of fatal_error).
file(GLOB MEDIUM_CHECK_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tools/medium_check/*.cpp)
list(FILTER MEDIUM_CHECK_SOURCES EXCLUDE REGEX "_win32\\.cpp$")
add_executable(medium-check ${MEDIUM_CHECK_SOURCES} $<TARGET_OBJECTS:portable_objects>)
project_target_options(medium-check)
target_compile_options(medium-check PRIVATE ${SANITIZE_FLAGS})
target_link_options(medium-check PRIVATE ${SANITIZE_FLAGS})
add_dependencies(native_tests medium-check)
# PROGRAM_BUILDS_DIR: where scripts/build leaves the Windows programs
# (installer.exe of the i686 build, win64/installer.exe of the x86_64 one).
target_compile_definitions(native_tests PRIVATE MEDIUM_CHECK_PROGRAM="$<TARGET_FILE:medium-check>"
                           PROJECT_SOURCE_DIR_TEXT="${PROJECT_SOURCE_DIR}"
                           PROGRAM_BUILDS_DIR="${CMAKE_BINARY_DIR}/..")

# medium-make, the publisher's tool from a game's tree to checked discs: the
# installer's readers with their fatal errors caught, as medium-check has
# them. It runs medium-check (built beside it) on what it writes. Its tests
# link its code with that fatal_error, so they are a program of their own.
file(GLOB MEDIUM_MAKE_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tools/medium_make/*.cpp)
set(MEDIUM_MAKE_MAIN ${PROJECT_SOURCE_DIR}/tools/medium_make/main.cpp)
list(REMOVE_ITEM MEDIUM_MAKE_SOURCES ${MEDIUM_MAKE_MAIN})
add_library(medium_make_core STATIC ${MEDIUM_MAKE_SOURCES} $<TARGET_OBJECTS:portable_objects>)
project_target_options(medium_make_core)
target_include_directories(medium_make_core PUBLIC ${PROJECT_SOURCE_DIR}/tools/medium_make)
target_compile_options(medium_make_core PRIVATE ${SANITIZE_FLAGS})
target_link_options(medium_make_core PUBLIC ${SANITIZE_FLAGS})
add_executable(medium-make ${MEDIUM_MAKE_MAIN})
project_target_options(medium-make)
target_compile_options(medium-make PRIVATE ${SANITIZE_FLAGS})
target_link_libraries(medium-make PRIVATE medium_make_core)
add_dependencies(medium-make medium-check)

file(GLOB MEDIUM_MAKE_TEST_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/medium_make/*_native_test.cpp)
add_executable(medium_make_tests ${MEDIUM_MAKE_TEST_SOURCES})
project_target_options(medium_make_tests)
target_compile_options(medium_make_tests PRIVATE ${SANITIZE_FLAGS})
target_link_libraries(medium_make_tests PRIVATE medium_make_core gtest_main)
add_dependencies(medium_make_tests medium-make)
target_compile_definitions(medium_make_tests PRIVATE MEDIUM_MAKE_PROGRAM="$<TARGET_FILE:medium-make>"
                           PROJECT_SOURCE_DIR_TEXT="${PROJECT_SOURCE_DIR}")
add_test(NAME medium_make_tests COMMAND medium_make_tests
         --gtest_output=xml:${CMAKE_BINARY_DIR}/results/medium_make_tests.xml)

# The layout bench (bench/medium-make-bench): a generated tree read and laid
# out, optimised and without the sanitizers.
add_executable(medium_make_bench EXCLUDE_FROM_ALL ${PROJECT_SOURCE_DIR}/bench/medium_make_bench.cpp
               ${MEDIUM_MAKE_SOURCES} ${PORTABLE_SOURCES} ${NATIVE_BOUNDARY_SOURCES})
project_target_options(medium_make_bench)
target_include_directories(medium_make_bench PRIVATE ${PROJECT_SOURCE_DIR}/tools/medium_make)
target_compile_options(medium_make_bench PRIVATE -O2)

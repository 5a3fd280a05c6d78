# Native build of the portable core: its tests run under AddressSanitizer and
# UndefinedBehaviorSanitizer.
set(SANITIZE_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer -g)

add_library(portable_core STATIC ${PORTABLE_SOURCES} ${NATIVE_BOUNDARY_SOURCES} src/base/fatal_posix.cpp)
project_target_options(portable_core)
target_compile_options(portable_core PRIVATE ${SANITIZE_FLAGS})
target_link_options(portable_core PUBLIC ${SANITIZE_FLAGS})

file(GLOB_RECURSE NATIVE_TEST_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/*_native_test.cpp)
add_executable(native_tests ${NATIVE_TEST_SOURCES})
project_target_options(native_tests)
target_compile_options(native_tests PRIVATE ${SANITIZE_FLAGS})
target_link_libraries(native_tests PRIVATE portable_core gtest_main)
add_test(NAME native_tests COMMAND native_tests --gtest_output=xml:${CMAKE_BINARY_DIR}/results/native_tests.xml)

# medium-check, the publisher's checker: the installer's own readers with its
# fatal errors caught (so without the native stand-in of fatal_error).
file(GLOB MEDIUM_CHECK_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tools/medium_check/*.cpp)
list(FILTER MEDIUM_CHECK_SOURCES EXCLUDE REGEX "_win32\\.cpp$")
add_executable(medium-check ${MEDIUM_CHECK_SOURCES} ${PORTABLE_SOURCES} ${NATIVE_BOUNDARY_SOURCES})
project_target_options(medium-check)
target_compile_options(medium-check PRIVATE ${SANITIZE_FLAGS})
target_link_options(medium-check PRIVATE ${SANITIZE_FLAGS})
add_dependencies(native_tests medium-check)
# PROGRAM_BUILDS_DIR: where scripts/build leaves the Windows programs
# (installer.exe of the i686 build, win64/installer.exe of the x86_64 one).
target_compile_definitions(native_tests PRIVATE MEDIUM_CHECK_PROGRAM="$<TARGET_FILE:medium-check>"
                           PROJECT_SOURCE_DIR_TEXT="${PROJECT_SOURCE_DIR}"
                           PROGRAM_BUILDS_DIR="${CMAKE_BINARY_DIR}/..")

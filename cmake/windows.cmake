# The program and its test programs, cross-built for Windows (i686, the
# shipping build, or x86_64). The programs land one folder above the tree,
# where the test programs find them; the tests run under Wine through the one
# script that picks Wine's loader.
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/results)
set(CMAKE_CROSSCOMPILING_EMULATOR ${PROJECT_SOURCE_DIR}/scripts/lib/wine-run)

# Every source under src/ belongs to the program except the native stand-ins
# (_posix); the entry point stays out of the library so test programs can
# link it.
file(GLOB_RECURSE PROGRAM_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/src/*.cpp)
list(FILTER PROGRAM_SOURCES EXCLUDE REGEX "_posix\\.cpp$|/src/boundary/|/src/base/fatal_win32\\.cpp$|/src/text/messages\\.cpp$")
set(ENTRY_SOURCE ${PROJECT_SOURCE_DIR}/src/startup/winmain.cpp)
list(REMOVE_ITEM PROGRAM_SOURCES ${ENTRY_SOURCE})
file(GLOB RESOURCE_SCRIPTS CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/src/resources/*.rc)

# Only DLLs on the known-DLL list of every Windows the program targets: any
# other import would be looked for first beside the program, in the shared
# temporary folder. The common controls are loaded at run time instead.
set(WIN32_LIBS shell32 ole32 uuid gdi32 user32 advapi32 kernel32)
set(STATIC_RUNTIME -static -static-libgcc -static-libstdc++)
# The shipped programs start at wWinMain and wmain: the run-time library then
# reads the wide command line, never the one in the system's code page.
set(WIDE_ENTRY -municode)

# The ground floor: every text that crosses into Windows passes here.
# The fatal box it ends with takes its caption and text from the catalogue.
add_library(boundary STATIC ${BOUNDARY_SOURCES} ${PROJECT_SOURCE_DIR}/src/text/messages.cpp)
project_target_options(boundary)

# The portable code compiled once, for the program and medium-check (the
# catalogue comes with the boundary).
set(PROGRAM_PORTABLE_SOURCES ${PORTABLE_SOURCES})
list(FILTER PROGRAM_PORTABLE_SOURCES EXCLUDE REGEX "/src/text/messages\\.cpp$")
list(REMOVE_ITEM PROGRAM_SOURCES ${PROGRAM_PORTABLE_SOURCES})
add_library(portable_objects OBJECT ${PROGRAM_PORTABLE_SOURCES})
project_target_options(portable_objects)

add_library(installer_core STATIC ${PROGRAM_SOURCES} $<TARGET_OBJECTS:portable_objects>)
project_target_options(installer_core)
target_link_libraries(installer_core PUBLIC boundary ${WIN32_LIBS})

add_executable(installer WIN32 ${ENTRY_SOURCE} ${RESOURCE_SCRIPTS})
project_target_options(installer)
target_link_libraries(installer PRIVATE installer_core)
target_link_options(installer PRIVATE ${STATIC_RUNTIME} -mwindows ${WIDE_ENTRY})
set_target_properties(installer PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/..)

# Test support shared by every Win32 test program: the message-box robot and
# a main that refuses to run unless the ANSI code page is 932.
file(GLOB SUPPORT_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/support/*.cpp)
list(FILTER SUPPORT_SOURCES EXCLUDE REGEX "/cp932_calls\\.cpp$")
add_library(test_support STATIC ${SUPPORT_SOURCES})
project_target_options(test_support)
target_compile_definitions(test_support PRIVATE PROJECT_SOURCE_DIR_TEXT="${PROJECT_SOURCE_DIR}")
target_link_libraries(test_support PUBLIC installer_core gtest)

# One test program per folder of tests/ that holds Win32 tests.
file(GLOB TEST_AREAS LIST_DIRECTORIES true ${PROJECT_SOURCE_DIR}/tests/*)
foreach(area_dir ${TEST_AREAS})
    get_filename_component(area ${area_dir} NAME)
    file(GLOB area_tests CONFIGURE_DEPENDS ${area_dir}/*_test.cpp)
    list(FILTER area_tests EXCLUDE REGEX "_native_test\\.cpp$")
    if(NOT area_tests OR area STREQUAL "support")
        continue()
    endif()
    add_executable(test_${area} ${area_tests} ${RESOURCE_SCRIPTS})
    list(APPEND TEST_CODE_TARGETS test_${area})
    project_target_options(test_${area})
    target_link_libraries(test_${area} PRIVATE test_support)
    target_link_options(test_${area} PRIVATE ${STATIC_RUNTIME})
    # Relative report name: Wine does not take a Unix path for it. Every
    # test program runs in a Wine slot of its own (a prefix, a server and a
    # display) that ctest hands out: scripts/test runs two at a time.
    if(area STREQUAL "e2e")
        # The longest program, in two shares that start first, side by side;
        # run_e2e.sh maps drive D: to a medium of the share's own first.
        foreach(share 0 1)
            add_test(NAME test_e2e_${share} COMMAND ${area_dir}/run_e2e.sh ${CMAKE_BINARY_DIR} test_e2e_${share}
                     WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/results)
            set_tests_properties(test_e2e_${share} PROPERTIES RESOURCE_GROUPS wine:1 COST 1000
                                 ENVIRONMENT "GTEST_TOTAL_SHARDS=2;GTEST_SHARD_INDEX=${share}")
        endforeach()
    else()
        add_test(NAME test_${area} COMMAND test_${area} --gtest_output=xml:test_${area}.xml
                 WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/results)
        set_tests_properties(test_${area} PROPERTIES RESOURCE_GROUPS wine:1)
    endif()
endforeach()

# The UI robot (tests/robot): a library for the end-to-end tests and a console
# program for scripts, with the tests' code page 932 calls. Every test
# program may link it through test_support.
add_library(ui_robot STATIC ${PROJECT_SOURCE_DIR}/tests/robot/ui_robot.cpp
            ${PROJECT_SOURCE_DIR}/tests/support/cp932_calls.cpp)
project_target_options(ui_robot)
target_link_libraries(ui_robot PUBLIC boundary user32 advapi32)
target_link_libraries(test_support PUBLIC ui_robot)
add_executable(robot ${PROJECT_SOURCE_DIR}/tests/robot/robot_main.cpp)
project_target_options(robot)
target_link_libraries(robot PRIVATE ui_robot shell32)
target_link_options(robot PRIVATE ${STATIC_RUNTIME})

# The sample medium's stand-in game, which records its command line and
# directory, and a stand-in DirectX setup, which records its start and stays
# 1.5 s. scripts/build puts the two on the sample medium (git keeps neither),
# from the build that the machine runs.
add_executable(testgame WIN32 ${PROJECT_SOURCE_DIR}/sample/game/testgame.cpp)
project_target_options(testgame)
target_link_libraries(testgame PRIVATE ui_robot)
target_link_options(testgame PRIVATE ${STATIC_RUNTIME} -mwindows)
add_executable(dxsetup WIN32 ${PROJECT_SOURCE_DIR}/sample/dxsetup/dxsetup.cpp)
project_target_options(dxsetup)
target_link_libraries(dxsetup PRIVATE ui_robot)
target_link_options(dxsetup PRIVATE ${STATIC_RUNTIME} -mwindows)

# medium-check.exe, the publisher's checker as a console program: the same
# sources as the native one, with the Win32 file calls.
file(GLOB MEDIUM_CHECK_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tools/medium_check/*.cpp)
list(FILTER MEDIUM_CHECK_SOURCES EXCLUDE REGEX "_posix\\.cpp$")
add_executable(medium-check ${MEDIUM_CHECK_SOURCES} $<TARGET_OBJECTS:portable_objects>)
project_target_options(medium-check)
target_link_libraries(medium-check PRIVATE boundary shell32)
target_link_options(medium-check PRIVATE ${STATIC_RUNTIME} ${WIDE_ENTRY})
set_target_properties(medium-check PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/..)
if(TARGET test_checker)
    add_dependencies(test_checker medium-check testgame)
endif()
if(TARGET test_checker)
    target_compile_definitions(test_checker PRIVATE PROJECT_SOURCE_DIR_TEXT="${PROJECT_SOURCE_DIR}")
endif()
# A DLL of no importance, for the test that it cannot be planted beside the
# relaunched program.
add_library(planted SHARED ${PROJECT_SOURCE_DIR}/tests/e2e/planted_dll.cpp)
set_target_properties(planted PROPERTIES PREFIX "")
target_link_options(planted PRIVATE ${STATIC_RUNTIME})
if(TARGET test_e2e)
    # The demo's journey in a Wine virtual desktop, declared last.
    add_test(NAME demo_journey COMMAND ${PROJECT_SOURCE_DIR}/tests/e2e/demo_journey.sh ${CMAKE_BINARY_DIR}
             WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/results)
    set_tests_properties(demo_journey PROPERTIES RESOURCE_GROUPS wine:1)
    add_dependencies(test_e2e medium-check installer planted)
    # Where the tests find the CD-ROM drive's script and the mastering command.
    target_compile_definitions(test_e2e PRIVATE PROJECT_SOURCE_DIR_TEXT="${PROJECT_SOURCE_DIR}")
endif()

# Test code is compiled for the build's time, not for its own speed: -O1,
# and <windows.h> without the parts it rarely needs (a test that needs one
# includes its header). The programs under test keep the release build.
foreach(target ${TEST_CODE_TARGETS} test_support ui_robot robot testgame dxsetup planted gtest)
    target_compile_options(${target} PRIVATE -O1)
    target_compile_definitions(${target} PRIVATE WIN32_LEAN_AND_MEAN)
endforeach()

# GoogleTest for the test programs. A native build uses the installed package; a cross
# build compiles Debian's GoogleTest sources with the cross compiler, since no prebuilt
# library exists for the target.
set(WT_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources for cross builds")

if(NOT CMAKE_CROSSCOMPILING)
    find_package(GTest)
    if(NOT GTest_FOUND)
        message(FATAL_ERROR "GoogleTest not found, which the tests need (Debian: "
            "libgtest-dev). Install it, or configure with -DBUILD_TESTING=OFF to build "
            "without the tests.")
    endif()
    return()
endif()

if(NOT EXISTS ${WT_GOOGLETEST_SOURCE}/CMakeLists.txt)
    message(FATAL_ERROR "GoogleTest sources not found in ${WT_GOOGLETEST_SOURCE}, which "
        "the tests need (Debian: googletest). Install them, set WT_GOOGLETEST_SOURCE, or "
        "configure with -DBUILD_TESTING=OFF to build without the tests.")
endif()
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(${WT_GOOGLETEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
# Third-party code: our warning set is not its contract.
set_property(TARGET gtest gtest_main PROPERTY COMPILE_OPTIONS "")

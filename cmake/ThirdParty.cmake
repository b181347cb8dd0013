# Libraries from Debian's packages. Header-only ones are reached through a
# folder of links in the build tree, so that a cross build sees them without
# also seeing the host's system headers.
set(VELMOR_THIRD_PARTY_INCLUDE "${CMAKE_BINARY_DIR}/ucuncu/include")
file(MAKE_DIRECTORY "${VELMOR_THIRD_PARTY_INCLUDE}")

if(NOT EXISTS /usr/include/nlohmann/json.hpp)
    message(FATAL_ERROR "nlohmann/json not found: install nlohmann-json3-dev (scripts/install-deps)")
endif()
file(CREATE_LINK /usr/include/nlohmann "${VELMOR_THIRD_PARTY_INCLUDE}/nlohmann" SYMBOLIC)
add_library(velmor_json INTERFACE)
target_include_directories(velmor_json SYSTEM INTERFACE "${VELMOR_THIRD_PARTY_INCLUDE}")

if(VELMOR_TESTS)
    if(CMAKE_CROSSCOMPILING)
        # Debian ships GoogleTest's sources; build them with the cross compiler.
        set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
        set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
        add_subdirectory(/usr/src/googletest "${CMAKE_BINARY_DIR}/googletest" EXCLUDE_FROM_ALL SYSTEM)
    else()
        find_package(GTest REQUIRED)
    endif()
endif()

# Natively, ICU maps internationalised domain names (its UTS #46 is the one
# the URL Standard names; libidn2 follows IDNA2008 and refuses what the
# standard accepts, such as symbols). Windows uses its own IdnToAscii.
if(NOT WIN32)
    find_package(ICU REQUIRED COMPONENTS uc)
    find_package(OpenSSL REQUIRED)
endif()

# Compiler flags, sanitizers and third-party libraries shared by every target.

# Warnings are errors in our own code; refloq_target() applies them.
set(REFLOQ_WARNINGS -Wall -Wextra -Wpedantic -Wshadow -Wconversion
    -Wno-sign-conversion -Wnon-virtual-dtor -Wold-style-cast -Werror)

if(REFLOQ_SANITIZER STREQUAL "address")
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer
                      -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
elseif(REFLOQ_SANITIZER STREQUAL "thread")
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
endif()

if(WIN32)
  # One self-contained .exe: static C, C++ and threads runtime.
  add_link_options(-static -static-libgcc -static-libstdc++)
  add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX
                          _WIN32_WINNT=0x0601)
  set(REFLOQ_MINGW_OPENSSL "/var/cache/refloq/mingw-openssl" CACHE PATH
      "Static OpenSSL built for mingw-w64 by scripts/install-deps")
  find_library(REFLOQ_MINGW_LIBCRYPTO NAMES libcrypto.a
               PATHS ${REFLOQ_MINGW_OPENSSL}/lib64 ${REFLOQ_MINGW_OPENSSL}/lib
               NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH REQUIRED)
  add_library(OpenSSL::Crypto STATIC IMPORTED GLOBAL)
  set_target_properties(OpenSSL::Crypto PROPERTIES
    IMPORTED_LOCATION ${REFLOQ_MINGW_LIBCRYPTO}
    INTERFACE_INCLUDE_DIRECTORIES ${REFLOQ_MINGW_OPENSSL}/include
    INTERFACE_LINK_LIBRARIES "ws2_32;crypt32;bcrypt;user32;advapi32")
else()
  find_package(OpenSSL 3.0 REQUIRED COMPONENTS Crypto)
  find_package(Threads REQUIRED)
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(UUID REQUIRED IMPORTED_TARGET uuid)
endif()

# Declares one of our own targets with the project's warnings and include root.
function(refloq_target target)
  target_compile_options(${target} PRIVATE ${REFLOQ_WARNINGS})
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
endfunction()

# A GoogleTest program registered with ctest as one test (one process per
# binary keeps Wine starts few).  Usage:
#   refloq_test(name SOURCES a.cpp b.cpp LIBS lib1 lib2 [NETNS [VETH n]])
# NETNS runs the program inside a fresh private network namespace
# (scripts/netns-run), with n veth pairs when VETH is given.
function(refloq_test name)
  cmake_parse_arguments(T "NETNS" "VETH" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  refloq_target(${name})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gmock GTest::gtest_main)
  if(T_NETNS)
    set(runner ${PROJECT_SOURCE_DIR}/scripts/netns-run)
    if(T_VETH)
      list(APPEND runner --veth ${T_VETH})
    endif()
    if(CMAKE_CROSSCOMPILING_EMULATOR)
      list(APPEND runner --wine -- ${CMAKE_CROSSCOMPILING_EMULATOR})
    else()
      list(APPEND runner --)
    endif()
    add_test(NAME ${name} COMMAND ${runner} $<TARGET_FILE:${name}>)
  else()
    add_test(NAME ${name} COMMAND ${name})
  endif()
  if(T_LABELS)
    set_tests_properties(${name} PROPERTIES LABELS "${T_LABELS}")
  endif()
endfunction()

# Object files that must reach every program linking `name`, though nothing
# calls into them: static registrars of resources (platform/resources.h) and
# compiled .rc files.  A static library would let the linker drop them, so
# the objects travel as sources of an INTERFACE library.  Usage:
#   refloq_linked_objects(name SOURCES a.cpp b.rc LIBS lib1)
function(refloq_linked_objects name)
  cmake_parse_arguments(L "" "" "SOURCES;LIBS" ${ARGN})
  add_library(${name}_objects OBJECT ${L_SOURCES})
  # The warning flags are the C++ compiler's; .rc files go to windres.
  foreach(flag ${REFLOQ_WARNINGS})
    target_compile_options(${name}_objects PRIVATE
                           $<$<COMPILE_LANGUAGE:CXX>:${flag}>)
  endforeach()
  target_include_directories(${name}_objects PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name}_objects PUBLIC ${L_LIBS})
  add_library(${name} INTERFACE)
  target_sources(${name} INTERFACE $<TARGET_OBJECTS:${name}_objects>)
  target_link_libraries(${name} INTERFACE ${L_LIBS})
endfunction()

# CLI11 (header-only) as CLI11::CLI11.  The cross build must not see the
# host's /usr/include, so it gets a folder that holds only CLI11's headers.
if(NOT TARGET CLI11::CLI11)
  if(WIN32)
    set(refloq_cli11_include ${CMAKE_BINARY_DIR}/third_party/cli11/include)
    file(MAKE_DIRECTORY ${refloq_cli11_include})
    file(CREATE_LINK /usr/include/CLI ${refloq_cli11_include}/CLI SYMBOLIC)
    add_library(CLI11::CLI11 INTERFACE IMPORTED GLOBAL)
    set_target_properties(CLI11::CLI11 PROPERTIES
      INTERFACE_INCLUDE_DIRECTORIES ${refloq_cli11_include})
  else()
    find_package(CLI11 CONFIG REQUIRED)
  endif()
endif()

# nlohmann-json (header-only) as nlohmann_json::nlohmann_json, the same way.
if(NOT TARGET nlohmann_json::nlohmann_json)
  if(WIN32)
    set(refloq_json_include ${CMAKE_BINARY_DIR}/third_party/nlohmann/include)
    file(MAKE_DIRECTORY ${refloq_json_include})
    file(CREATE_LINK /usr/include/nlohmann ${refloq_json_include}/nlohmann
         SYMBOLIC)
    add_library(nlohmann_json::nlohmann_json INTERFACE IMPORTED GLOBAL)
    set_target_properties(nlohmann_json::nlohmann_json PROPERTIES
      INTERFACE_INCLUDE_DIRECTORIES ${refloq_json_include})
  else()
    find_package(nlohmann_json 3 CONFIG REQUIRED)
  endif()
endif()

# Lua 5.4 from Debian's source package (scripts/setup.sh unpacks it into the
# cache folder outside the checkout), compiled as a static C library for
# the product engine and for the script checker of qsform.
set(QS_CACHE "$ENV{QSEXE_CACHE}")
if(NOT QS_CACHE)
  set(QS_CACHE "$ENV{HOME}/.cache/qsexe")
endif()
file(GLOB QS_LUA_SOURCES "${QS_CACHE}/lua-src-*/src/lua.h")
list(SORT QS_LUA_SOURCES)
list(POP_BACK QS_LUA_SOURCES QS_LUA_HEADER)
if(NOT QS_LUA_HEADER)
  message(FATAL_ERROR "no Lua source in ${QS_CACHE} (run scripts/setup.sh)")
endif()
get_filename_component(QS_LUA_DIR "${QS_LUA_HEADER}" DIRECTORY)
message(STATUS "Lua source: ${QS_LUA_DIR}")

set(QS_LUA_FILES lapi lcode lctype ldebug ldo ldump lfunc lgc llex lmem lobject lopcodes
  lparser lstate lstring ltable ltm lundump lvm lzio lauxlib lbaselib lcorolib ldblib liolib
  lmathlib loadlib loslib lstrlib ltablib lutf8lib linit)
list(TRANSFORM QS_LUA_FILES PREPEND "${QS_LUA_DIR}/")
list(TRANSFORM QS_LUA_FILES APPEND ".c")
add_library(qs_lua STATIC ${QS_LUA_FILES})
# Compiled as C++, as Lua allows: a Lua error is then a C++ exception and
# unwinds the C++ functions it passes through (their strings and buffers)
# instead of jumping over them. Lua's own code is not held to our warnings.
set_source_files_properties(${QS_LUA_FILES} PROPERTIES LANGUAGE CXX)
target_compile_options(qs_lua PRIVATE -w)
target_include_directories(qs_lua SYSTEM PUBLIC "${QS_LUA_DIR}")
if(NOT WIN32)
  # Debian's module paths name the machine's multiarch folder, which its
  # build writes into this header.
  file(WRITE ${CMAKE_BINARY_DIR}/lua/lua5.4-deb-multiarch.h
    "#define DEB_HOST_MULTIARCH \"${CMAKE_LIBRARY_ARCHITECTURE}\"\n")
  target_include_directories(qs_lua SYSTEM PUBLIC ${CMAKE_BINARY_DIR}/lua)
  target_compile_definitions(qs_lua PRIVATE LUA_USE_POSIX)
  target_link_libraries(qs_lua PUBLIC m)
endif()

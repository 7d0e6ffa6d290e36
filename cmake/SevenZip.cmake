# 7-Zip's console bundle as a static library, built once per target into the
# cache folder outside the checkout (scripts/build-7zip.sh), and the one
# source file of ours that is compiled against its headers.
execute_process(
  COMMAND bash ${PROJECT_SOURCE_DIR}/scripts/build-7zip.sh ${QS_TRIPLE}
  OUTPUT_VARIABLE QS_7Z_BUILD OUTPUT_STRIP_TRAILING_WHITESPACE
  RESULT_VARIABLE QS_7Z_RESULT)
if(NOT QS_7Z_RESULT EQUAL 0)
  message(FATAL_ERROR "7-Zip could not be built for ${QS_TRIPLE}")
endif()
file(READ ${QS_7Z_BUILD}/source QS_7Z_SOURCE)
string(STRIP "${QS_7Z_SOURCE}" QS_7Z_SOURCE)
message(STATUS "7-Zip library: ${QS_7Z_BUILD}")

# The whole console bundle, for the tools (they add as well as extract), and
# the extraction part alone, for the host.
add_library(sevenzip STATIC IMPORTED)
set_target_properties(sevenzip PROPERTIES
  IMPORTED_LOCATION ${QS_7Z_BUILD}/libsevenzip.a
  INTERFACE_LINK_LIBRARIES "oleaut32;ole32;uuid;advapi32;user32;shell32;comctl32;comdlg32;gdi32")
add_library(sevenzip_extract STATIC IMPORTED)
set_target_properties(sevenzip_extract PROPERTIES
  IMPORTED_LOCATION ${QS_7Z_BUILD}/libsevenzip-extract.a
  INTERFACE_LINK_LIBRARIES "oleaut32;ole32;uuid;advapi32;user32")

# The console program of the same code, for benchmarks and comparisons.
configure_file(${QS_7Z_BUILD}/7za.exe ${CMAKE_BINARY_DIR}/bin/7za.exe COPYONLY)

# Our entry into each: the one source file compiled against 7-Zip's headers,
# with the settings its library was compiled with. A program links one of
# the two (qs_sevenzip_extract for the host, qs_sevenzip for the tools).
# 7-Zip's objects take their interface ids and streams from that file, so it
# goes into the program whole, as the library does: wherever the program's
# other libraries put the two on its link line, nothing is left undefined.
function(qs_sevenzip_runner name library)
  add_library(${name}_runner STATIC ${PROJECT_SOURCE_DIR}/host/sevenzip_runner.cpp)
  target_include_directories(${name}_runner BEFORE PRIVATE
    ${QS_7Z_SOURCE}/CPP/7zip/UI/Console ${QS_7Z_SOURCE}/CPP ${PROJECT_SOURCE_DIR})
  target_compile_options(${name}_runner PRIVATE
    -UUNICODE -U_UNICODE -UWIN32_LEAN_AND_MEAN -UNOMINMAX -U_WIN32_WINNT -UWINVER
    -D_REENTRANT -D_FILE_OFFSET_BITS=64 -D_LARGEFILE_SOURCE -DNDEBUG ${ARGN})
  add_library(${name} INTERFACE)
  target_link_libraries(${name} INTERFACE
    "$<LINK_LIBRARY:WHOLE_ARCHIVE,${name}_runner>" "$<LINK_LIBRARY:WHOLE_ARCHIVE,${library}>")
endfunction()
qs_sevenzip_runner(qs_sevenzip sevenzip -DZ7_DEVICE_FILE -O2)
qs_sevenzip_runner(qs_sevenzip_extract sevenzip_extract -DZ7_EXTRACT_ONLY -DZ7_NO_CRYPTO -DZ7_ST -DZ7_NO_LARGE_PAGES)

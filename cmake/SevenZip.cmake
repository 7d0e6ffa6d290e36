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

add_library(sevenzip STATIC IMPORTED)
set_target_properties(sevenzip PROPERTIES
  IMPORTED_LOCATION ${QS_7Z_BUILD}/libsevenzip.a
  INTERFACE_LINK_LIBRARIES "oleaut32;ole32;uuid;advapi32;user32;shell32;comctl32;comdlg32;gdi32")

# The console program of the same code, for benchmarks and comparisons.
configure_file(${QS_7Z_BUILD}/7za.exe ${CMAKE_BINARY_DIR}/bin/7za.exe COPYONLY)

add_library(qs_sevenzip STATIC ${PROJECT_SOURCE_DIR}/host/sevenzip_runner.cpp)
target_include_directories(qs_sevenzip BEFORE PRIVATE
  ${QS_7Z_SOURCE}/CPP/7zip/UI/Console ${QS_7Z_SOURCE}/CPP ${PROJECT_SOURCE_DIR})
# The same settings 7-Zip itself is compiled with.
target_compile_options(qs_sevenzip PRIVATE
  -UUNICODE -U_UNICODE -UWIN32_LEAN_AND_MEAN -UNOMINMAX -U_WIN32_WINNT -UWINVER
  -DZ7_DEVICE_FILE -D_REENTRANT -D_FILE_OFFSET_BITS=64 -D_LARGEFILE_SOURCE -DNDEBUG -O2)
target_link_libraries(qs_sevenzip PUBLIC "$<LINK_LIBRARY:WHOLE_ARCHIVE,sevenzip>")

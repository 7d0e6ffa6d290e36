# Fails when the program imports a library that is not one of the system's
# known DLLs (which the loader takes from the system directory only): any
# other name could be found beside the program first.
#   cmake -DPROGRAM=QSExe.exe -DOBJDUMP=objdump -P CheckImports.cmake
cmake_minimum_required(VERSION 3.25)
set(known advapi32.dll comdlg32.dll gdi32.dll kernel32.dll msvcrt.dll ole32.dll oleaut32.dll shell32.dll
          shlwapi.dll user32.dll)
execute_process(COMMAND ${OBJDUMP} -p ${PROGRAM} OUTPUT_VARIABLE dump RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cannot read the import table of ${PROGRAM}")
endif()
string(REGEX MATCHALL "DLL Name: [^\r\n]+" lines "${dump}")
if(NOT lines)
  message(FATAL_ERROR "no imports found in ${PROGRAM}")
endif()
set(bad "")
foreach(line IN LISTS lines)
  string(REGEX REPLACE "DLL Name: " "" name "${line}")
  string(STRIP "${name}" name)
  string(TOLOWER "${name}" lower)
  if(NOT lower IN_LIST known)
    list(APPEND bad "${name}")
  endif()
  message(STATUS "imports ${name}")
endforeach()
if(bad)
  message(FATAL_ERROR "${PROGRAM} imports libraries that are not known DLLs: ${bad}")
endif()

# Compiler, warning and hardening options of every target of the project, on
# one INTERFACE target, each guarded by the compiler or linker that takes it.
include(CheckCXXCompilerFlag)
include(CheckLinkerFlag)

add_library(sheetmass_options INTERFACE)
set(gnu_like $<CXX_COMPILER_ID:GNU,Clang>)
target_compile_options(sheetmass_options INTERFACE
  $<${gnu_like}:-Wall -Wextra -Wpedantic $<$<BOOL:${SHEETMASS_WERROR}>:-Werror>>)

# GCC 12 sees overlapping copies inside std::string's inlined insert at -O3
# where there are none (GCC bug 105329, fixed in GCC 13).
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_GREATER_EQUAL 12
   AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
  target_compile_options(sheetmass_options INTERFACE -Wno-restrict)
endif()

if(SHEETMASS_SANITIZE)
  target_compile_options(sheetmass_options INTERFACE
    -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  target_link_options(sheetmass_options INTERFACE -fsanitize=address,undefined)
else()
  # The hardening Debian builds its packages with. Fortification is glibc's
  # and works only in an optimised build; the sanitizers bring their own
  # checks.
  check_cxx_compiler_flag(-fstack-protector-strong SHEETMASS_HAS_STACK_PROTECTOR)
  if(SHEETMASS_HAS_STACK_PROTECTOR AND NOT WIN32)
    target_compile_options(sheetmass_options INTERFACE -fstack-protector-strong)
  endif()
  if(CMAKE_SYSTEM_NAME STREQUAL "Linux")
    target_compile_options(sheetmass_options INTERFACE
      "$<$<CONFIG:Release,RelWithDebInfo,MinSizeRel>:-U_FORTIFY_SOURCE;-D_FORTIFY_SOURCE=2>")
  endif()
endif()
check_linker_flag(CXX "LINKER:-z,relro,-z,now" SHEETMASS_HAS_RELRO)
if(SHEETMASS_HAS_RELRO)
  target_link_options(sheetmass_options INTERFACE "LINKER:-z,relro,-z,now")
endif()

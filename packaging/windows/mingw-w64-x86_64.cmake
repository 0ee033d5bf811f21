# CMake toolchain file: builds for 64-bit Windows with Debian's MinGW-w64
# cross compilers (package g++-mingw-w64-x86-64-posix).
#
#   cmake -S . -B build-win64 \
#     -DCMAKE_TOOLCHAIN_FILE=packaging/windows/mingw-w64-x86_64.cmake \
#     -DCMAKE_PREFIX_PATH="$(bash packaging/windows/build-libraries.sh | tail -n 1)"
#
# The POSIX-threads variant of the compilers, not the win32 one: only its
# libstdc++ has std::thread, std::mutex and std::condition_variable (through
# libwinpthread).

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${MINGW_TRIPLET}-windres)

# Libraries, headers and CMake packages come only from the MinGW sysroot and
# from the prefixes given in CMAKE_PREFIX_PATH, as a variable or in the
# environment: each prefix is made a find root of its own (CMake does not
# re-root a path that already lies under a root). Programs run during the
# build are the host's.
set(CMAKE_FIND_ROOT_PATH /usr/${MINGW_TRIPLET} ${CMAKE_PREFIX_PATH})
if(DEFINED ENV{CMAKE_PREFIX_PATH})
  string(REPLACE ":" ";" _mingw_env_prefixes "$ENV{CMAKE_PREFIX_PATH}")
  list(APPEND CMAKE_FIND_ROOT_PATH ${_mingw_env_prefixes})
  unset(_mingw_env_prefixes)
endif()
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# pkg-config, if a project uses it, must not hand out the host's Linux
# libraries either: only the .pc files of those same roots.
set(_mingw_pc_dirs)
foreach(_root IN LISTS CMAKE_FIND_ROOT_PATH)
  list(APPEND _mingw_pc_dirs ${_root}/lib/pkgconfig ${_root}/share/pkgconfig)
endforeach()
string(REPLACE ";" ":" _mingw_pc_dirs "${_mingw_pc_dirs}")
set(ENV{PKG_CONFIG_LIBDIR} "${_mingw_pc_dirs}")
set(ENV{PKG_CONFIG_PATH} "")
unset(_mingw_pc_dirs)

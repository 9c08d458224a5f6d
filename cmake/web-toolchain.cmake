# The web build's toolchain: Emscripten's, from Debian's emscripten package, with the libraries that
# tools/web/build-deps built (MOKUREN_WEB_DEPS) as the only place to find packages. ./dev web uses it:
#   cmake -S . -B build-web -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/web-toolchain.cmake
set(MOKUREN_EMSCRIPTEN_ROOT "/usr/share/emscripten" CACHE PATH "Emscripten's folder (Debian's package)")
set(MOKUREN_WEB_DEPS "${CMAKE_CURRENT_LIST_DIR}/../build-web/deps" CACHE PATH
    "The libraries built for the web by tools/web/build-deps")
get_filename_component(MOKUREN_WEB_DEPS "${MOKUREN_WEB_DEPS}" ABSOLUTE)

include("${MOKUREN_EMSCRIPTEN_ROOT}/cmake/Modules/Platform/Emscripten.cmake")
list(APPEND CMAKE_FIND_ROOT_PATH "${MOKUREN_WEB_DEPS}")

# pkg-config sees only the web libraries, never the host's.
set(ENV{PKG_CONFIG_LIBDIR} "${MOKUREN_WEB_DEPS}/lib/pkgconfig")
set(ENV{PKG_CONFIG_PATH} "")
set(ENV{PKG_CONFIG_SYSROOT_DIR} "")
# Debian's emscripten finds node's modules (acorn) only through NODE_PATH.
if(NOT DEFINED ENV{NODE_PATH})
  set(ENV{NODE_PATH} "/usr/share/nodejs")
endif()

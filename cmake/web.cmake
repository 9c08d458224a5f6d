# What the web build adds to the engine core: the flags every object shares, and mokuren-node, the
# headless program run by node (tools/web/run-node-headless) that plays a game folder of the host's file
# system with the events file, the trace and screenshots, exactly as `mokuren --headless` does.
#
# Modal dialogs and waits run as nested loops of engine passes. MOKUREN_WEB_ASYNCIFY adds
# mokuren-node-asyncify, linked with Asyncify and yielding to node's event loop once a frame from
# whichever loop runs, to measure what a browser build driven that way would cost (docs/web.md).
option(MOKUREN_WEB_ASYNCIFY "Also build mokuren-node-asyncify (Asyncify)" OFF)
set(MOKUREN_WEB_EXCEPTIONS "wasm" CACHE STRING "How C++ exceptions are built: wasm (WebAssembly's own) or js")
set_property(CACHE MOKUREN_WEB_EXCEPTIONS PROPERTY STRINGS wasm js)

# The engine catches exceptions (a damaged Ogg file), so catching must work; the core's objects and every
# program that links them are built for the same kind. This Emscripten's Asyncify (binaryen 108) stops at
# WebAssembly's own exception instructions, so an Asyncify build catches them in JavaScript.
if(MOKUREN_WEB_ASYNCIFY AND NOT MOKUREN_WEB_EXCEPTIONS STREQUAL "js")
  message(FATAL_ERROR "MOKUREN_WEB_ASYNCIFY needs -DMOKUREN_WEB_EXCEPTIONS=js: this Asyncify cannot unwind "
                      "through WebAssembly's own exceptions")
endif()
if(MOKUREN_WEB_EXCEPTIONS STREQUAL "wasm")
  target_compile_options(mokuren_engine_flags INTERFACE $<$<COMPILE_LANGUAGE:CXX>:-fwasm-exceptions>)
  target_link_options(mokuren_engine_flags INTERFACE -fwasm-exceptions)
else()
  target_compile_options(mokuren_engine_flags INTERFACE $<$<COMPILE_LANGUAGE:CXX>:-fexceptions>)
  target_link_options(mokuren_engine_flags INTERFACE -fexceptions -sDISABLE_EXCEPTION_CATCHING=0)
endif()

# WebAssembly SIMD: the SSE2 pixel kernels through Emscripten's SSE headers, in a library of their own
# (the core leaves their file out) that the programs link; the core reaches them by a weak reference, so
# a module without the library runs the scalar kernels. A module with SIMD instructions does not load in
# a browser without SIMD: the page then loads mokuren-scalar.js, the same engine without the library.
option(MOKUREN_WEB_SIMD "Link the WebAssembly SIMD pixel kernels" ON)
# The browser test's build (./dev test-web --ci, which CI runs): the same code, quicker to build. At -O1
# emcc compiles quicker and links without binaryen's optimising passes (docs/web.md); only the SIMD
# engine is linked (the test's chromium has SIMD and loads it; the scalar engine differs only by leaving the
# kernels out, and the scalar kernels are tested natively).
option(MOKUREN_WEB_TEST_BUILD "Build at -O1 and without the scalar page, for the browser test" OFF)
if(MOKUREN_WEB_TEST_BUILD)
  set(CMAKE_C_FLAGS_RELEASE "-O1 -DNDEBUG")
  set(CMAKE_CXX_FLAGS_RELEASE "-O1 -DNDEBUG")
endif()
add_library(mokuren_wasm_simd OBJECT src/graphics/pixel_kernels_sse2.cpp)
target_compile_options(mokuren_wasm_simd PRIVATE -msimd128 -msse2)
target_link_libraries(mokuren_wasm_simd PUBLIC mokuren_core)
set(MOKUREN_WEB_KERNELS mokuren_core)
if(MOKUREN_WEB_SIMD)
  set(MOKUREN_WEB_KERNELS mokuren_wasm_simd mokuren_core)
endif()

target_compile_definitions(mokuren_text PRIVATE MOKUREN_FONT_DIR_DEFAULT="/fonts")
# The CP932 tables made from glibc's converter by tools/web/build-deps (musl has no CP932).
target_include_directories(mokuren_base PRIVATE "${MOKUREN_WEB_DEPS}/include/mokuren")

add_executable(mokuren-node src/entry/main.cpp)
target_link_libraries(mokuren-node PRIVATE ${MOKUREN_WEB_KERNELS})
# The host's files as they are (NODERAWFS), the host's environment (node-pre.js), memory that grows with
# the game's surfaces, and the exit status handed back to node.
set(MOKUREN_NODE_LINK_OPTIONS -sENVIRONMENT=node -sNODERAWFS=1 -sEXIT_RUNTIME=1 -sALLOW_MEMORY_GROWTH=1
  -sINITIAL_MEMORY=64MB -sTOTAL_STACK=8MB "--pre-js=${PROJECT_SOURCE_DIR}/tools/web/node-pre.js")
target_link_options(mokuren-node PRIVATE ${MOKUREN_NODE_LINK_OPTIONS})
set_property(TARGET mokuren-node APPEND PROPERTY LINK_DEPENDS "${PROJECT_SOURCE_DIR}/tools/web/node-pre.js")

# The kernels alone, checked against scalar and timed under node (tools/web/node_pixel_kernels.cpp):
# built from the pixel routines' own files, so it needs neither the rest of the core nor its libraries.
add_executable(mokuren-web-kernels tools/web/node_pixel_kernels.cpp src/graphics/ABitmap.cpp
  src/graphics/ABitmapFilters32.cpp src/graphics/frame_recorder.cpp src/graphics/pixel_kernels_scalar.cpp
  $<TARGET_OBJECTS:mokuren_wasm_simd>)
target_include_directories(mokuren-web-kernels PRIVATE src)
target_link_options(mokuren-web-kernels PRIVATE -sENVIRONMENT=node -sALLOW_MEMORY_GROWTH=1 -sINITIAL_MEMORY=64MB)

if(MOKUREN_WEB_ASYNCIFY)
  add_executable(mokuren-node-asyncify tools/web/node_asyncify_main.cpp)
  target_link_libraries(mokuren-node-asyncify PRIVATE mokuren_core)
  # The unwound stack of a nested loop is saved in ASYNCIFY_STACK_SIZE bytes.
  target_link_options(mokuren-node-asyncify PRIVATE ${MOKUREN_NODE_LINK_OPTIONS} -sASYNCIFY=1
    -sASYNCIFY_STACK_SIZE=65536 "--js-library=${PROJECT_SOURCE_DIR}/tools/web/node-asyncify-fd-sync.js")
  set_property(TARGET mokuren-node-asyncify APPEND PROPERTY LINK_DEPENDS "${PROJECT_SOURCE_DIR}/tools/web/node-pre.js"
    "${PROJECT_SOURCE_DIR}/tools/web/node-asyncify-fd-sync.js")
endif()

message(STATUS "Mokuren web build: libraries from ${MOKUREN_WEB_DEPS}, exceptions ${MOKUREN_WEB_EXCEPTIONS}, "
               "Asyncify ${MOKUREN_WEB_ASYNCIFY}, test build ${MOKUREN_WEB_TEST_BUILD}")

# The page: the engine with the browser backend (src/backends/web), which runs in a worker of the page
# (web_main.cpp, with worker.js before the runtime), and the page's own files (src/backends/web/page). The
# site (build-web/site/) is made by tools/web/mokuren-web-pack from the engine, the page's files, the fonts,
# the icons (drawn by the native build's demo builder, MOKUREN_WEB_ICONS) and the game folder
# MOKUREN_WEB_GAME (./dev web passes the native build's demo); the same tool packs another game beside the
# same engine.
set(MOKUREN_WEB_GAME "${PROJECT_SOURCE_DIR}/build/demo-game" CACHE PATH "The game folder the page bundles")
set(MOKUREN_WEB_ICONS "${PROJECT_SOURCE_DIR}/build/dist/web-icons" CACHE PATH
    "The page's icons, drawn by the native build (its web-icons target)")
mokuren_folder_library(backends/web "")
target_link_libraries(mokuren_web INTERFACE mokuren_core)
add_executable(mokuren-web src/entry/web_main.cpp)
set_target_properties(mokuren-web PROPERTIES OUTPUT_NAME mokuren)
target_link_libraries(mokuren-web PRIVATE mokuren_web ${MOKUREN_WEB_KERNELS})
set(WEB_PAGE_DIR "${PROJECT_SOURCE_DIR}/src/backends/web/page")
target_link_options(mokuren-web PRIVATE -sENVIRONMENT=worker -sALLOW_MEMORY_GROWTH=1 -sINITIAL_MEMORY=64MB
  -sTOTAL_STACK=8MB -lidbfs.js -lworkerfs.js -sFORCE_FILESYSTEM=1
  -sEXPORTED_FUNCTIONS=_main,_malloc,_free,_mokuren_input,_mokuren_dialog_answer,_mokuren_audio_pull,_mokuren_audio_dry_frames,_mokuren_debug_button,_mokuren_save_file,_mokuren_import_saves,_mokuren_persist
  -sEXPORTED_RUNTIME_METHODS=ccall,callMain,UTF8ToString,FS,ENV,addRunDependency,removeRunDependency
  "--pre-js=${WEB_PAGE_DIR}/worker.js")
set_property(TARGET mokuren-web APPEND PROPERTY LINK_DEPENDS "${WEB_PAGE_DIR}/worker.js")
file(GLOB_RECURSE WEB_GAME_FILES CONFIGURE_DEPENDS "${MOKUREN_WEB_GAME}/*")
file(GLOB WEB_PAGE_FILES CONFIGURE_DEPENDS "${WEB_PAGE_DIR}/*")
# The game's translations (tl/*.po) go in as compiled copies made by the native mokuren-i18n
# (MOKUREN_WEB_I18N; ./dev web builds it), which also lists the texts whose characters the fonts keep.
set(MOKUREN_WEB_I18N "${PROJECT_SOURCE_DIR}/build/mokuren-i18n" CACHE FILEPATH
    "The native mokuren-i18n, which reads the bundled game's texts and compiles its translations")
set(WEB_PACK "${PROJECT_SOURCE_DIR}/tools/web/mokuren-web-pack")
add_custom_command(OUTPUT "${CMAKE_BINARY_DIR}/site/index.html"
  COMMAND ${CMAKE_COMMAND} -E copy_directory "${WEB_PAGE_DIR}" "${CMAKE_BINARY_DIR}/page"
  COMMAND ${CMAKE_COMMAND} -E copy_directory "${MOKUREN_WEB_ICONS}" "${CMAKE_BINARY_DIR}/icons"
  COMMAND ${CMAKE_COMMAND} -E copy_directory "${MOKUREN_WEB_DEPS}/licences" "${CMAKE_BINARY_DIR}/licences"
  COMMAND ${CMAKE_COMMAND} -E env "MOKUREN_WEB_BUILD_DIR=${CMAKE_BINARY_DIR}" "MOKUREN_I18N=${MOKUREN_WEB_I18N}"
          "${WEB_PACK}" "${MOKUREN_WEB_GAME}" "${CMAKE_BINARY_DIR}/site"
  DEPENDS mokuren-web "$<TARGET_FILE:mokuren-web>" ${WEB_GAME_FILES} ${WEB_PAGE_FILES} "${WEB_PACK}"
          "${MOKUREN_WEB_I18N}" "${MOKUREN_WEB_DEPS}/fonts/ipag.ttf" "${MOKUREN_WEB_DEPS}/fonts/DejaVuSans.ttf"
          "${MOKUREN_WEB_ICONS}/icon-512.png"
  WORKING_DIRECTORY "${CMAKE_BINARY_DIR}" COMMENT "The demo's site: build-web/site/ (tools/web/mokuren-web-pack)")
add_custom_target(mokuren-web-site ALL DEPENDS "${CMAKE_BINARY_DIR}/site/index.html")

if(MOKUREN_WEB_SIMD AND NOT MOKUREN_WEB_TEST_BUILD)
  # The page's engine without the SIMD kernels, for a browser without WebAssembly SIMD: index.html loads
  # mokuren-scalar.js there instead of mokuren.js. Building the page builds both.
  add_executable(mokuren-web-scalar src/entry/web_main.cpp)
  set_target_properties(mokuren-web-scalar PROPERTIES OUTPUT_NAME mokuren-scalar)
  target_link_libraries(mokuren-web-scalar PRIVATE mokuren_web mokuren_core)
  get_target_property(WEB_PAGE_LINK_OPTIONS mokuren-web LINK_OPTIONS)
  target_link_options(mokuren-web-scalar PRIVATE ${WEB_PAGE_LINK_OPTIONS})
  set_property(TARGET mokuren-web-scalar APPEND PROPERTY LINK_DEPENDS "${WEB_PAGE_DIR}/worker.js")
  add_dependencies(mokuren-web mokuren-web-scalar)
endif()

# The bench page (bench/web/frame_typing.cpp, run by bench/web-vs-native beside its native build): the
# composed frame and the typing timed in a browser, with the Gothic face it draws the message in. Not built
# by default.
add_executable(bench-frame-typing EXCLUDE_FROM_ALL bench/web/frame_typing.cpp
  "${PROJECT_SOURCE_DIR}/tools/toolkit/archive_writer.cpp")
set_target_properties(bench-frame-typing PROPERTIES SUFFIX ".html")
target_include_directories(bench-frame-typing PRIVATE "${PROJECT_SOURCE_DIR}/tools")
target_link_libraries(bench-frame-typing PRIVATE ${MOKUREN_WEB_KERNELS})
target_link_options(bench-frame-typing PRIVATE -sENVIRONMENT=web -sMINIFY_HTML=0 -sALLOW_MEMORY_GROWTH=1 -sINITIAL_MEMORY=64MB
  -sTOTAL_STACK=8MB "--preload-file=${MOKUREN_WEB_DEPS}/fonts/ipag.ttf@/fonts/ipag.ttf")

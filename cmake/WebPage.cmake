# The game as a web page: snowpunt.js and snowpunt.wasm, built from the same
# sources as the desktop game with the browser's entry and the SDL calls its
# SDL 1.2 lacks (platform/web), and the page's own files beside them. All of
# it lands in site/ of the build folder, which any static web host can serve.

set(SNOWPUNT_SITE ${CMAKE_BINARY_DIR}/site)
file(GLOB SNOWPUNT_WEB_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/platform/web/*.cpp)
list(REMOVE_ITEM SNOWPUNT_WEB_SOURCES ${PROJECT_SOURCE_DIR}/platform/web/sound_mixer.cpp)

add_executable(snowpunt ${SNOWPUNT_WEB_SOURCES})
target_link_libraries(snowpunt PRIVATE snowpunt_core)
target_compile_options(snowpunt PRIVATE -Wall -Wextra)
set_target_properties(snowpunt PROPERTIES SUFFIX .js RUNTIME_OUTPUT_DIRECTORY ${SNOWPUNT_SITE})
# The page loads the script itself (page.js) and keeps running after main
# would have returned; the script runs only in a browser's page.
target_link_options(snowpunt PRIVATE -O2 -sENVIRONMENT=web -sEXIT_RUNTIME=0
                    -sEXPORTED_FUNCTIONS=_main,_Web_gamepadConnected)

# The game's mixer alone, for the page's sound thread (sound_worklet.js): a
# module of its own, with nothing to import, which the thread runs as the
# browser plays.
add_executable(snowpunt_mixer ${PROJECT_SOURCE_DIR}/platform/web/sound_mixer.cpp
               ${PROJECT_SOURCE_DIR}/platform/audio.cpp ${PROJECT_SOURCE_DIR}/platform/web/sdl_fill.cpp)
target_include_directories(snowpunt_mixer PRIVATE ${PROJECT_SOURCE_DIR})
target_compile_options(snowpunt_mixer PRIVATE -Wall -Wextra)
set_target_properties(snowpunt_mixer PROPERTIES SUFFIX .wasm RUNTIME_OUTPUT_DIRECTORY ${SNOWPUNT_SITE})
target_link_options(snowpunt_mixer PRIVATE -O2 --no-entry -sSTANDALONE_WASM
                    -sEXPORTED_FUNCTIONS=_Mixer_sound,_Mixer_voice,_Mixer_mix)
# The linker writes a module alone only into a folder that is there.
add_custom_command(TARGET snowpunt_mixer PRE_LINK
                   COMMAND ${CMAKE_COMMAND} -E make_directory ${SNOWPUNT_SITE} VERBATIM)

set(SNOWPUNT_PAGE_FILES)
foreach(page index.html page.js page.css sound_worklet.js)
  add_custom_command(OUTPUT ${SNOWPUNT_SITE}/${page}
                     COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/platform/web/${page} ${SNOWPUNT_SITE}/${page}
                     DEPENDS ${PROJECT_SOURCE_DIR}/platform/web/${page} VERBATIM)
  list(APPEND SNOWPUNT_PAGE_FILES ${SNOWPUNT_SITE}/${page})
endforeach()
add_custom_command(OUTPUT ${SNOWPUNT_SITE}/snowpunt.png
                   COMMAND ${CMAKE_COMMAND} -E copy
                           ${PROJECT_SOURCE_DIR}/packaging/icons/hicolor/64x64/apps/snowpunt.png
                           ${SNOWPUNT_SITE}/snowpunt.png
                   DEPENDS ${PROJECT_SOURCE_DIR}/packaging/icons/hicolor/64x64/apps/snowpunt.png VERBATIM)
add_custom_target(snowpunt_page ALL DEPENDS ${SNOWPUNT_PAGE_FILES} ${SNOWPUNT_SITE}/snowpunt.png)

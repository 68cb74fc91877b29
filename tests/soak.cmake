# The random soak: a long game of random input, checked after every frame.
# The plain build plays a million frames (ten seeds of 100000); the
# sanitizer builds play 300000 (seeds 101 to 103), other games than the
# plain build's.
add_executable(soak_game ${CMAKE_CURRENT_SOURCE_DIR}/soak_main.cpp)
target_link_libraries(soak_game PRIVATE snowpunt_core)
target_compile_options(soak_game PRIVATE -Wall -Wextra)

if(SNOWPUNT_SANITIZE)
  set(SNOWPUNT_SOAK_ARGS --frames 100000 --seeds 3 --first-seed 101)
else()
  set(SNOWPUNT_SOAK_ARGS --frames 100000 --seeds 10 --first-seed 1)
endif()
add_test(NAME soak COMMAND soak_game ${SNOWPUNT_SOAK_ARGS})
set_tests_properties(soak PROPERTIES
  LABELS soak
  TIMEOUT 1800
  ENVIRONMENT "SDL_VIDEODRIVER=dummy;SDL_AUDIODRIVER=dummy")

# Memcheck over the real program and a stretch of the soak (not beside the sanitizers).
find_program(SNOWPUNT_VALGRIND valgrind)
if(SNOWPUNT_VALGRIND AND NOT SNOWPUNT_SANITIZE)
  set(SNOWPUNT_MEMCHECK sh ${CMAKE_CURRENT_SOURCE_DIR}/valgrind_run.sh ${CMAKE_CURRENT_SOURCE_DIR}/valgrind.supp)
  # Promo, title, then play (the ready sound mixed, every frame drawn) until 24 s.
  add_test(NAME valgrind_program COMMAND ${SNOWPUNT_MEMCHECK} 24 $<TARGET_FILE:snowpunt>)
  # Seed 23 strikes, bounces, slides to rest, lands head-first and Returns within 3000 frames.
  add_test(NAME valgrind_soak
           COMMAND ${SNOWPUNT_MEMCHECK} 0 $<TARGET_FILE:soak_game> --frames 3000 --seeds 1 --first-seed 23)
  set_tests_properties(valgrind_program valgrind_soak PROPERTIES LABELS "no-sanitizer;valgrind" TIMEOUT 600)
  set_tests_properties(valgrind_program PROPERTIES ENVIRONMENT "VALGRIND_EXPECT_STDOUT=ang.max: 74.404907")
endif()

# The memory checker over the real program and over a stretch of the random
# soak. Valgrind's memcheck cannot run beside the sanitizers, so these tests
# carry the label no-sanitizer and run in the plain build only.
find_program(SNOWPUNT_VALGRIND valgrind)

# The failure tests start the real program too.
if(TARGET test_failures)
  add_dependencies(test_failures snowpunt)
endif()

if(SNOWPUNT_VALGRIND AND NOT SNOWPUNT_SANITIZE)
  # The game headless: 6 s of promo and title with the loading, then play
  # (the bird waits, the ready sound is mixed, every frame is drawn) until
  # the termination signal ends it like a closed window.
  add_test(NAME valgrind_program
           COMMAND sh ${CMAKE_CURRENT_SOURCE_DIR}/valgrind_run.sh
                   ${CMAKE_CURRENT_SOURCE_DIR}/valgrind.supp 24 $<TARGET_FILE:snowpunt>)
  set_tests_properties(valgrind_program PROPERTIES
    LABELS "no-sanitizer;valgrind"
    TIMEOUT 300
    ENVIRONMENT "VALGRIND_EXPECT_STDOUT=ang.max: 74.404907")

  # Whole throws (strikes, bounces, a slide to rest, head-first landings, a
  # Return) with the real assets: seed 23 has them all within 3000 frames.
  add_test(NAME valgrind_soak
           COMMAND sh ${CMAKE_CURRENT_SOURCE_DIR}/valgrind_run.sh
                   ${CMAKE_CURRENT_SOURCE_DIR}/valgrind.supp 0 $<TARGET_FILE:soak_game>
                   --frames 3000 --seeds 1 --first-seed 23)
  set_tests_properties(valgrind_soak PROPERTIES
    LABELS "no-sanitizer;valgrind"
    TIMEOUT 600)
endif()

# The committed artwork and sounds equal the generator's output and hold what
# the game relies on. Needs Debian's python3 with python3-cairo.
add_test(NAME art_check COMMAND /usr/bin/python3 ${CMAKE_CURRENT_SOURCE_DIR}/check_art.py ${PROJECT_SOURCE_DIR})
set_tests_properties(art_check PROPERTIES ENVIRONMENT PYTHONDONTWRITEBYTECODE=1 TIMEOUT 300)

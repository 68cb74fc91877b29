# The committed artwork and sounds equal the generator's output and hold what
# the game relies on. Both need Debian's python3 with python3-cairo.
add_test(NAME art_regenerate COMMAND /usr/bin/python3 ${CMAKE_CURRENT_SOURCE_DIR}/art_regenerate.py ${PROJECT_SOURCE_DIR})
add_test(NAME art_check COMMAND /usr/bin/python3 ${CMAKE_CURRENT_SOURCE_DIR}/check_art.py ${PROJECT_SOURCE_DIR}/assets
                                ${PROJECT_SOURCE_DIR}/packaging/icons/hicolor/32x32/apps/snowpunt.png)
set_tests_properties(art_regenerate art_check PROPERTIES ENVIRONMENT PYTHONDONTWRITEBYTECODE=1 TIMEOUT 300)

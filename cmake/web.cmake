# The demo site's tests: its Flask application under pytest, and the browser test (headless
# Chromium over the site served by gunicorn). Both need the Python module.
if(KELVANE_TESTS AND TARGET kelvane_python)
  add_test(NAME Web.pytest
    COMMAND /usr/bin/python3 -m pytest -q -p no:cacheprovider ${CMAKE_SOURCE_DIR}/tests/web
    WORKING_DIRECTORY ${CMAKE_SOURCE_DIR})
  set_tests_properties(Web.pytest PROPERTIES ENVIRONMENT
    "PYTHONPATH=${CMAKE_BINARY_DIR}/python:${CMAKE_SOURCE_DIR}/web;PYTHONDONTWRITEBYTECODE=1")
  add_test(NAME Web.browser
    COMMAND bash ${CMAKE_SOURCE_DIR}/tests/browser/run.sh ${CMAKE_BINARY_DIR}/python ${CMAKE_BINARY_DIR}/browser)
  set_tests_properties(Web.browser PROPERTIES TIMEOUT 300 ENVIRONMENT PYTHONDONTWRITEBYTECODE=1)
endif()

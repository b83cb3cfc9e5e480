# The code blocks of the README and of docs/*.md, run as a user runs them (tests/docs). They use
# the Python module, so they run where it is built.
if(KELVANE_TESTS AND TARGET kelvane_python)
  add_test(NAME Docs.samples
    COMMAND /usr/bin/python3 -m pytest -q -p no:cacheprovider ${CMAKE_SOURCE_DIR}/tests/docs
    WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}/tests/docs)
  set_tests_properties(Docs.samples PROPERTIES TIMEOUT 1800 ENVIRONMENT
    "KELVANE_SOURCE=${CMAKE_SOURCE_DIR};KELVANE_BUILD=${CMAKE_BINARY_DIR};KELVANE_CLI=$<TARGET_FILE:kelvane_cli>;CXX=${CMAKE_CXX_COMPILER};PYTHONDONTWRITEBYTECODE=1")
endif()

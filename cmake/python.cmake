# The Python module `kelvane` (pybind11), built for Debian's python3 and tested with pytest.
# KELVANE_PYTHON defaults to ON when pybind11 is found for that interpreter; set it ON
# explicitly (as scripts/test.sh does) to make a missing pybind11 an error instead.
if(NOT DEFINED Python_EXECUTABLE AND EXISTS /usr/bin/python3)
  set(Python_EXECUTABLE /usr/bin/python3)
endif()
set(PYBIND11_FINDPYTHON ON)
find_package(Python COMPONENTS Interpreter Development.Module QUIET)
if(Python_FOUND)
  find_package(pybind11 CONFIG QUIET)
endif()
set(KELVANE_PYTHON_FOUND OFF)
if(Python_FOUND AND pybind11_FOUND)
  set(KELVANE_PYTHON_FOUND ON)
endif()
option(KELVANE_PYTHON "Build the Python module" ${KELVANE_PYTHON_FOUND})

if(KELVANE_PYTHON)
  if(NOT KELVANE_PYTHON_FOUND)
    message(FATAL_ERROR "KELVANE_PYTHON is ON but pybind11 for ${Python_EXECUTABLE} was not found "
                        "(bash scripts/setup.sh installs it)")
  endif()
  file(GLOB KELVANE_PYTHON_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/python/src/*.cpp)
  pybind11_add_module(kelvane_python ${KELVANE_PYTHON_SOURCES})
  set_target_properties(kelvane_python PROPERTIES
    OUTPUT_NAME kelvane
    LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/python)
  target_link_libraries(kelvane_python PRIVATE kelvane)
  target_compile_definitions(kelvane_python PRIVATE KELVANE_VERSION="${PROJECT_VERSION}")
  target_include_directories(kelvane_python PRIVATE ${CMAKE_SOURCE_DIR}/src)  # the picture types
  configure_file(${CMAKE_SOURCE_DIR}/python/kelvane.pyi ${CMAKE_BINARY_DIR}/python/kelvane.pyi COPYONLY)

  set(KELVANE_PYTHON_INSTALL_DIR "lib/python${Python_VERSION_MAJOR}.${Python_VERSION_MINOR}/dist-packages"
      CACHE STRING "Where cmake --install puts the Python module, relative to the prefix")
  install(TARGETS kelvane_python LIBRARY DESTINATION ${KELVANE_PYTHON_INSTALL_DIR})
  install(FILES ${CMAKE_SOURCE_DIR}/python/kelvane.pyi DESTINATION ${KELVANE_PYTHON_INSTALL_DIR})
  # Package metadata beside the module, so that importlib.metadata and pip know kelvane, its
  # version and its licence. RECORD lists the installed files without hashes.
  set(dist_info kelvane-${PROJECT_VERSION}.dist-info)
  set(dist_dir ${CMAKE_BINARY_DIR}/python-dist-info/${dist_info})
  file(WRITE ${dist_dir}/METADATA
    "Metadata-Version: 2.1\n"
    "Name: kelvane\n"
    "Version: ${PROJECT_VERSION}\n"
    "Summary: Chart pictures (bar charts, pies, free drawing, text) as BMP, JPEG, GIF or PNG\n"
    "License: MIT\n"
    "Classifier: License :: OSI Approved :: MIT License\n"
    "License-File: LICENSE\n")
  file(WRITE ${dist_dir}/INSTALLER "cmake\n")
  configure_file(${CMAKE_SOURCE_DIR}/LICENSE ${dist_dir}/LICENSE COPYONLY)
  set(record "")
  foreach(entry $<TARGET_FILE_NAME:kelvane_python> kelvane.pyi
               ${dist_info}/METADATA ${dist_info}/INSTALLER ${dist_info}/LICENSE ${dist_info}/RECORD)
    string(APPEND record "${entry},,\n")
  endforeach()
  file(GENERATE OUTPUT ${dist_dir}/RECORD CONTENT "${record}")
  install(DIRECTORY ${dist_dir} DESTINATION ${KELVANE_PYTHON_INSTALL_DIR})

  if(KELVANE_TESTS)
    add_test(NAME Python.pytest
      COMMAND ${Python_EXECUTABLE} -m pytest -q -p no:cacheprovider ${CMAKE_SOURCE_DIR}/python/tests
      WORKING_DIRECTORY ${CMAKE_SOURCE_DIR})
    set_tests_properties(Python.pytest PROPERTIES ENVIRONMENT
      "PYTHONPATH=${CMAKE_BINARY_DIR}/python;PYTHONDONTWRITEBYTECODE=1;KELVANE_CLI=$<TARGET_FILE:kelvane_cli>")
  endif()
endif()

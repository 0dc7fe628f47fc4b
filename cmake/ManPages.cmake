# The manual pages, made at build time from committed sources: zenorb-sim's
# from its own --help text (help2man, with docs/zenorb-sim.h2m for the
# sections --help has not), so that the page cannot drift from the options;
# zenorb's, which takes no options, from docs/zenorb.1.rst (rst2man). Both
# are gzipped with -n, as Debian ships manual pages, so the same sources give
# the same bytes.

find_program(ZENORB_HELP2MAN help2man REQUIRED)
find_program(ZENORB_RST2MAN NAMES rst2man rst2man.py REQUIRED)
find_program(ZENORB_GZIP gzip REQUIRED)

set(ZENORB_MAN_DIR ${CMAKE_BINARY_DIR}/man)
file(MAKE_DIRECTORY ${ZENORB_MAN_DIR})

# The date on the pages is the one of the last commit when the build is in
# a checkout (help2man takes SOURCE_DATE_EPOCH), so rebuilding changes nothing.
find_package(Git QUIET)
set(ZENORB_MAN_EPOCH "")
if(GIT_FOUND)
  execute_process(COMMAND ${GIT_EXECUTABLE} log -1 --format=%ct
                  WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
                  OUTPUT_VARIABLE ZENORB_MAN_EPOCH OUTPUT_STRIP_TRAILING_WHITESPACE
                  ERROR_QUIET RESULT_VARIABLE git_result)
  if(NOT git_result EQUAL 0)
    set(ZENORB_MAN_EPOCH "")
  endif()
endif()
set(man_env ${CMAKE_COMMAND} -E env)
if(ZENORB_MAN_EPOCH)
  list(APPEND man_env SOURCE_DATE_EPOCH=${ZENORB_MAN_EPOCH})
endif()
# In a sanitizer build the leak check is the tests' business (with their
# suppressions); the page is the same either way.
if(ZENORB_SANITIZE)
  list(APPEND man_env ASAN_OPTIONS=detect_leaks=0)
endif()

# --version-string: zenorb-sim has no --version; the package's version is
# the program's.
add_custom_command(
  OUTPUT ${ZENORB_MAN_DIR}/zenorb-sim.1.gz
  COMMAND ${man_env} ${ZENORB_HELP2MAN} --no-info --no-discard-stderr
          --version-string=${ZENORB_VERSION}
          --include=${PROJECT_SOURCE_DIR}/docs/zenorb-sim.h2m
          --output=${ZENORB_MAN_DIR}/zenorb-sim.1
          $<TARGET_FILE:zenorb-sim>
  COMMAND ${ZENORB_GZIP} -9nf ${ZENORB_MAN_DIR}/zenorb-sim.1
  DEPENDS zenorb-sim ${PROJECT_SOURCE_DIR}/docs/zenorb-sim.h2m
  COMMENT "Writing the manual page of zenorb-sim"
  VERBATIM)

configure_file(${PROJECT_SOURCE_DIR}/docs/zenorb.1.rst ${ZENORB_MAN_DIR}/zenorb.1.rst @ONLY)
# --strict: a markup error fails the build instead of landing in the page.
add_custom_command(
  OUTPUT ${ZENORB_MAN_DIR}/zenorb.1.gz
  COMMAND ${ZENORB_RST2MAN} --strict ${ZENORB_MAN_DIR}/zenorb.1.rst ${ZENORB_MAN_DIR}/zenorb.1
  COMMAND ${ZENORB_GZIP} -9nf ${ZENORB_MAN_DIR}/zenorb.1
  DEPENDS ${ZENORB_MAN_DIR}/zenorb.1.rst
  COMMENT "Writing the manual page of zenorb"
  VERBATIM)

add_custom_target(zenorb_man_pages ALL
  DEPENDS ${ZENORB_MAN_DIR}/zenorb.1.gz ${ZENORB_MAN_DIR}/zenorb-sim.1.gz)

include(GNUInstallDirs)
install(FILES ${ZENORB_MAN_DIR}/zenorb.1.gz ${ZENORB_MAN_DIR}/zenorb-sim.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

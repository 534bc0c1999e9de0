# The web page's tests (label `web`): the page ./scripts/build-web left in build-web/, served as
# the README says and driven in headless Chromium. The browser driver comes from npm into
# tests/web/node_modules on the first run. ./scripts/test --full builds the page first; the
# quick run leaves these out.
set(WEB_TEST_DIR ${CMAKE_CURRENT_SOURCE_DIR}/web)
add_test(NAME Web.Setup COMMAND sh -c "[ -d node_modules/puppeteer-core ] || npm ci --no-audit --no-fund"
         WORKING_DIRECTORY ${WEB_TEST_DIR})
set_tests_properties(Web.Setup PROPERTIES FIXTURES_SETUP web_driver LABELS web TIMEOUT 300)
foreach(test stills play missing)
  add_test(NAME Web.${test}
           COMMAND node ${WEB_TEST_DIR}/web_test.js ${test} build-web $<TARGET_FILE:quenrastilan-capture>
           WORKING_DIRECTORY ${CMAKE_SOURCE_DIR})
  set_tests_properties(Web.${test} PROPERTIES FIXTURES_REQUIRED web_driver LABELS web TIMEOUT 300)
endforeach()

# The web page's tests (label `web`): the page ./scripts/build-web left in build-web/, served as
# the docs say and driven in real browsers, one test per engine (Chromium, Firefox, WebKitGTK),
# which ctest runs side by side. The browser driver (tools/browser, which the web benchmarks use
# too) gets its npm packages into tools/browser/node_modules on the first run. ./scripts/test
# --full builds the page first; the quick run leaves these out, and where the page is not built
# (or Node.js is missing) they report as skipped, with the reason, not as failed.
set(WEB_TEST_DIR ${CMAKE_CURRENT_SOURCE_DIR}/web)
set(WEB_DRIVER_DIR ${CMAKE_SOURCE_DIR}/tools/browser)
set(WEB_PAGE_DIR ${CMAKE_SOURCE_DIR}/build-web)
set(WEB_SKIP 77)
set(WEB_NEEDS "if [ ! -f '${WEB_PAGE_DIR}/index.html' ]; then echo 'skipped: no page in build-web (./scripts/build-web builds it)'; exit ${WEB_SKIP}; fi; if ! command -v node >/dev/null; then echo 'skipped: no Node.js (scripts/install-deps web-test)'; exit ${WEB_SKIP}; fi")
add_test(NAME Web.Setup
         COMMAND sh -c "${WEB_NEEDS}; [ -d node_modules/puppeteer-core ] && [ -d node_modules/axe-core ] && [ -d node_modules/vnu-jar ] || npm ci --no-audit --no-fund"
         WORKING_DIRECTORY ${WEB_DRIVER_DIR})
set_tests_properties(Web.Setup PROPERTIES FIXTURES_SETUP web_driver LABELS web TIMEOUT 300 SKIP_RETURN_CODE ${WEB_SKIP})
foreach(engine chromium firefox webkit)
  add_test(NAME Web.${engine}
           COMMAND sh -c "${WEB_NEEDS}; exec node '${WEB_TEST_DIR}/web_test.js' ${engine} build-web '$<TARGET_FILE:quenrastilan-capture>'"
           WORKING_DIRECTORY ${CMAKE_SOURCE_DIR})
  set_tests_properties(Web.${engine} PROPERTIES FIXTURES_REQUIRED web_driver LABELS web TIMEOUT 600
                       SKIP_RETURN_CODE ${WEB_SKIP})
endforeach()
# The page kept offline and shared, its previews; its controls on a desktop and a phone, and a
# still drawn again at a new window size; the page for every viewer: auditors, the keyboard,
# contrast, a strict server (Chromium).
foreach(test offline controls a11y)
  add_test(NAME Web.${test}
           COMMAND sh -c "${WEB_NEEDS}; exec node '${WEB_TEST_DIR}/${test}_test.js' build-web"
           WORKING_DIRECTORY ${CMAKE_SOURCE_DIR})
  set_tests_properties(Web.${test} PROPERTIES FIXTURES_REQUIRED web_driver LABELS web TIMEOUT 300
                       SKIP_RETURN_CODE ${WEB_SKIP})
endforeach()

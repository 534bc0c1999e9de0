# The release's files (tests/package/check.sh): the licence in each program's help and on the
# page, the desktop entry, the metainfo and the manuals through their validators, and the
# package's file list (quick tier); lintian on the package (long tier). A missing validator
# reports the test as skipped.
set(CHECK ${CMAKE_CURRENT_SOURCE_DIR}/package/check.sh)
set(PKG ${CMAKE_BINARY_DIR}/packaging)
add_test(NAME Package.Help COMMAND ${CHECK} help WORKING_DIRECTORY ${CMAKE_BINARY_DIR})
add_test(NAME Package.Page COMMAND ${CHECK} page ../build-web WORKING_DIRECTORY ${CMAKE_BINARY_DIR})
add_test(NAME Package.DesktopEntry COMMAND ${CHECK} desktop ${PKG}/${QUENRASTILAN_APP_ID}.desktop)
add_test(NAME Package.Metainfo COMMAND ${CHECK} metainfo ${PKG}/${QUENRASTILAN_APP_ID}.metainfo.xml)
add_test(NAME Package.ManualShow COMMAND ${CHECK} manuals ./quenrastilan ${PKG}/quenrastilan.6
         ${PKG}/quenrastilan.6.gz WORKING_DIRECTORY ${CMAKE_BINARY_DIR})
add_test(NAME Package.ManualCapture COMMAND ${CHECK} manuals ./quenrastilan-capture
         ${PKG}/quenrastilan-capture.1 ${PKG}/quenrastilan-capture.1.gz WORKING_DIRECTORY ${CMAKE_BINARY_DIR})
add_test(NAME Package.Files COMMAND ${CHECK} files ${CMAKE_CURRENT_SOURCE_DIR}/package/files.txt
         ${QUENRASTILAN_APP_ID} WORKING_DIRECTORY ${CMAKE_BINARY_DIR})
set_tests_properties(Package.Help Package.Page Package.DesktopEntry Package.Metainfo Package.ManualShow
  Package.ManualCapture Package.Files PROPERTIES LABELS e2e TIMEOUT 300 SKIP_RETURN_CODE 77)
add_test(NAME Package.Lintian COMMAND ${CHECK} lintian WORKING_DIRECTORY ${CMAKE_BINARY_DIR})
set_tests_properties(Package.Lintian PROPERTIES LABELS long TIMEOUT 1800 SKIP_RETURN_CODE 77)

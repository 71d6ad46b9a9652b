# Included by tests/CMakeLists.txt in the Windows build, in its scope.
# The Windows build's tests under Wine, in one Wine prefix in the build folder
# that a fixture makes first: the unit and headless programs (CTest runs them
# through CMAKE_CROSSCOMPILING_EMULATOR), and the zip as a player unpacks it.
set(wine_env WINEPREFIX=${CMAKE_BINARY_DIR}/wine WINEDEBUG=-all
             # No prompt to fetch Mono or Gecko: nothing here needs them.
             "WINEDLLOVERRIDES=mscoree,mshtml=")
# One Wine server and its services for all of them, started apart from any
# test's output: started by a test's first Wine program they would hold that
# test's output pipe open, and CTest would wait for it to the timeout. They
# end 30 s after the last program, or when the cleanup runs.
add_test(NAME windows_wine_prefix
         COMMAND sh -c "exec </dev/null >/dev/null 2>&1; mkdir -p \"$WINEPREFIX\" && wineserver -p30 && wineboot --init")
add_test(NAME windows_wine_end COMMAND sh -c "wineserver -k || true")
set_tests_properties(windows_wine_prefix PROPERTIES FIXTURES_SETUP wine LABELS windows
                                                    ENVIRONMENT "${wine_env}" COST 2000)
set_tests_properties(windows_wine_end PROPERTIES FIXTURES_CLEANUP wine LABELS windows
                                                 ENVIRONMENT "${wine_env}")
set_tests_properties(unit_tests headless_tests headless_threads PROPERTIES FIXTURES_REQUIRED wine
                                                                        ENVIRONMENT "${wine_env}")
add_test(NAME windows_zip
         COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/zip_test.sh
                 ${CMAKE_BINARY_DIR}/tilewalk-${PROJECT_VERSION}-win64.zip ${CMAKE_OBJDUMP}
         WORKING_DIRECTORY ${PROJECT_SOURCE_DIR})
# Alone: it starts the Wine session again on its own X server.
set_tests_properties(windows_zip PROPERTIES FIXTURES_REQUIRED wine LABELS windows TIMEOUT 300
                                            RUN_SERIAL ON ENVIRONMENT "${wine_env}")

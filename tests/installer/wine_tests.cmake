# Wine tests of the real vortasetup.exe (windows preset). Each test stages its own copy of
# the download folder with small fixture files, drives the installer with installer_driver
# and checks the destination folder (installer_scenarios.py).
add_subdirectory(${PROJECT_SOURCE_DIR}/tools/installer_driver
                 ${CMAKE_CURRENT_BINARY_DIR}/installer_driver)

foreach(scenario
    fresh_install replaces_existing unelevated cancel_dialog fifth_missing guide_write_fails
    cancel_button close_box folder_outside_cp932 resources)
  vorta_wine_test(installer_wine_${scenario} 170
    ${CMAKE_CURRENT_SOURCE_DIR}/installer_scenarios.py ${scenario})
  set_property(TEST installer_wine_${scenario} APPEND PROPERTY LABELS installer)
endforeach()

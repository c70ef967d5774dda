# Wine tests of the real vortasetup.exe (windows preset). Each test stages its own copy of
# the download folder with small fixture files, drives the installer with installer_driver
# and checks the destination folder.
add_subdirectory(${PROJECT_SOURCE_DIR}/tools/installer_driver
                 ${CMAKE_CURRENT_BINARY_DIR}/installer_driver)

set(_runner ${PROJECT_SOURCE_DIR}/scripts/wine-run.sh)

set(_scenarios
  fresh_install
  replaces_existing
  unelevated
  cancel_dialog
  fifth_missing
  guide_write_fails
  cancel_button
  close_box
  folder_outside_cp932
  resources)
foreach(scenario IN LISTS _scenarios)
  add_test(NAME installer_wine_${scenario}
    COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/wine_scenario.sh ${scenario}
      $<TARGET_FILE:vortasetup> $<TARGET_FILE:installer_driver>
      ${CMAKE_CURRENT_SOURCE_DIR}/fixtures ${PROJECT_SOURCE_DIR}/installer/shipped
      ${CMAKE_CURRENT_BINARY_DIR}/wine-work/${scenario} ${_runner})
  set_tests_properties(installer_wine_${scenario} PROPERTIES
    RUN_SERIAL TRUE TIMEOUT 180 LABELS "wine;installer")
endforeach()

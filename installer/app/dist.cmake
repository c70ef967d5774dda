# Assembles the folder a Windows user downloads: vortasetup.exe beside the ten files it
# installs, and a zip of that folder. Run by the "dist" target:
#   -DINSTALLER_EXE=  -DVORTASTART_EXE=  -DSHIPPED_DIR=  -DCAD_FILES_DIR=  -DDIST_DIR=
#   -DPACKAGE_NAME=
cmake_minimum_required(VERSION 3.25)

set(cad_files
  vta_connect.exe
  pontek.dcl
  pontek.lsp
  vorta_install_dir.lsp
  vortastart.lsp
  "IJCAD-ヴォルタ_インストール.pdf"
  "ヴォルタ.pdf")
set(shipped_files tardo.dat lumset.ini)

set(sources "")
set(missing "")

if(NOT INSTALLER_EXE OR NOT EXISTS "${INSTALLER_EXE}")
  list(APPEND missing "vortasetup.exe (the installer build: target vortasetup)")
else()
  list(APPEND sources "${INSTALLER_EXE}")
endif()

if(NOT VORTASTART_EXE OR NOT EXISTS "${VORTASTART_EXE}")
  list(APPEND missing "vortastart.exe (the launcher build: target vortastart)")
else()
  list(APPEND sources "${VORTASTART_EXE}")
endif()

foreach(name IN LISTS shipped_files)
  if(EXISTS "${SHIPPED_DIR}/${name}")
    list(APPEND sources "${SHIPPED_DIR}/${name}")
  else()
    list(APPEND missing "${name} (expected in ${SHIPPED_DIR})")
  endif()
endforeach()

if(NOT CAD_FILES_DIR)
  foreach(name IN LISTS cad_files)
    list(APPEND missing "${name}")
  endforeach()
  set(cad_hint "\nNo folder of CAD-side files was named: configure with -DVORTA_CAD_FILES_DIR=<folder>.")
else()
  foreach(name IN LISTS cad_files)
    if(EXISTS "${CAD_FILES_DIR}/${name}" AND NOT IS_DIRECTORY "${CAD_FILES_DIR}/${name}")
      list(APPEND sources "${CAD_FILES_DIR}/${name}")
    else()
      list(APPEND missing "${name} (expected in ${CAD_FILES_DIR})")
    endif()
  endforeach()
  set(cad_hint "")
endif()

if(missing)
  list(JOIN missing "\n  " missing_text)
  message(FATAL_ERROR "dist: cannot assemble the download folder; missing:\n  ${missing_text}${cad_hint}")
endif()

set(folder "${DIST_DIR}/${PACKAGE_NAME}")
file(REMOVE_RECURSE "${folder}" "${DIST_DIR}/${PACKAGE_NAME}.zip")
file(MAKE_DIRECTORY "${folder}")
file(COPY ${sources} DESTINATION "${folder}")

file(GLOB copied RELATIVE "${folder}" "${folder}/*")
list(LENGTH copied count)
if(NOT count EQUAL 11)
  message(FATAL_ERROR "dist: expected 11 files in ${folder}, found ${count}: ${copied}")
endif()

execute_process(
  COMMAND "${CMAKE_COMMAND}" -E tar cf "${PACKAGE_NAME}.zip" --format=zip "${PACKAGE_NAME}"
  WORKING_DIRECTORY "${DIST_DIR}"
  RESULT_VARIABLE zip_result)
if(NOT zip_result EQUAL 0)
  message(FATAL_ERROR "dist: writing ${PACKAGE_NAME}.zip failed (${zip_result})")
endif()
message(STATUS "dist: ${folder} and ${DIST_DIR}/${PACKAGE_NAME}.zip")

# Assembles the folder a Windows user downloads: vortasetup.exe beside the ten files it
# installs, the Japanese guide and a SHA256SUMS of them; a zip of that folder, and a
# SHA256SUMS of the zip beside it. The same inputs give the same zip, byte for byte: its
# entries are sorted and carry one time, SOURCE_DATE_EPOCH (seconds since 1970) or else the
# time of the source tree's last commit. Run by the "dist" target:
#   -DINSTALLER_EXE=  -DVORTASTART_EXE=  -DSHIPPED_DIR=  -DCAD_FILES_DIR=  -DDIST_DIR=
#   -DPACKAGE_NAME=  -DSOURCE_DIR=  -DPYTHON=
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

set(guide_name "はじめにお読みください.txt")
set(guide_source "${SOURCE_DIR}/docs/guide.ja.txt")
if(NOT EXISTS "${guide_source}")
  list(APPEND missing "docs/guide.ja.txt (the Japanese user guide, expected in ${SOURCE_DIR})")
endif()

if(missing)
  list(JOIN missing "\n  " missing_text)
  message(FATAL_ERROR "dist: cannot assemble the download folder; missing:\n  ${missing_text}${cad_hint}")
endif()

# The one time every zip entry carries.
if(NOT "$ENV{SOURCE_DATE_EPOCH}" STREQUAL "")
  set(epoch "$ENV{SOURCE_DATE_EPOCH}")
  set(epoch_from "SOURCE_DATE_EPOCH")
else()
  execute_process(
    COMMAND git -C "${SOURCE_DIR}" log -1 --format=%ct
    OUTPUT_VARIABLE epoch
    OUTPUT_STRIP_TRAILING_WHITESPACE
    RESULT_VARIABLE git_result
    ERROR_QUIET)
  if(NOT git_result EQUAL 0)
    message(FATAL_ERROR "dist: no time for the zip entries: ${SOURCE_DIR} is not a git checkout with a commit.\nSet SOURCE_DATE_EPOCH (seconds since 1970) to the release's time.")
  endif()
  set(epoch_from "the last commit")
endif()
if(NOT epoch MATCHES "^[0-9]+$")
  message(FATAL_ERROR "dist: the time of the zip entries is not whole seconds since 1970: '${epoch}' (${epoch_from})")
endif()
if(NOT PYTHON)
  message(FATAL_ERROR "dist: no Python 3 to write the zip with (-DPYTHON=)")
endif()

set(folder "${DIST_DIR}/${PACKAGE_NAME}")
file(REMOVE_RECURSE "${folder}" "${DIST_DIR}/${PACKAGE_NAME}.zip" "${DIST_DIR}/SHA256SUMS")
file(MAKE_DIRECTORY "${folder}")
file(COPY ${sources} DESTINATION "${folder}")

# The Japanese user guide, written as plain text for Notepad, as a file a user opens by
# double-click (UTF-8 with a byte-order mark and CR LF, which every Notepad reads). The
# installer does not copy it.
execute_process(
  COMMAND "${PYTHON}" -c
    "import sys; t = open(sys.argv[1], encoding='utf-8').read().replace('\\r\\n', '\\n'); open(sys.argv[2], 'w', encoding='utf-8-sig', newline='\\r\\n').write(t)"
    "${guide_source}" "${folder}/${guide_name}"
  RESULT_VARIABLE guide_result)
if(NOT guide_result EQUAL 0)
  message(FATAL_ERROR "dist: writing ${guide_name} from ${guide_source} failed")
endif()

file(GLOB copied RELATIVE "${folder}" "${folder}/*")
list(LENGTH copied count)
if(NOT count EQUAL 12)
  message(FATAL_ERROR "dist: expected 12 files in ${folder}, found ${count}: ${copied}")
endif()

# "<hash>  <name>" lines, as sha256sum writes and checks them ("sha256sum -c SHA256SUMS").
function(write_sums folder)
  set(sums "")
  foreach(name IN LISTS ARGN)
    file(SHA256 "${folder}/${name}" hash)
    string(APPEND sums "${hash}  ${name}\n")
  endforeach()
  file(WRITE "${folder}/SHA256SUMS" "${sums}")
endfunction()

list(SORT copied)
write_sums("${folder}" ${copied})

execute_process(
  COMMAND "${PYTHON}" "${CMAKE_CURRENT_LIST_DIR}/write_zip.py" "${DIST_DIR}/${PACKAGE_NAME}.zip"
    "${DIST_DIR}" "${PACKAGE_NAME}" "${epoch}"
  RESULT_VARIABLE zip_result)
if(NOT zip_result EQUAL 0)
  message(FATAL_ERROR "dist: writing ${PACKAGE_NAME}.zip failed (${zip_result})")
endif()
write_sums("${DIST_DIR}" "${PACKAGE_NAME}.zip")
message(STATUS "dist: ${folder}, ${DIST_DIR}/${PACKAGE_NAME}.zip and ${DIST_DIR}/SHA256SUMS (entries dated from ${epoch_from}: ${epoch})")

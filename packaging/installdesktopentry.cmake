# Install-time step (included by cmake_install.cmake): writes the desktop menu entry pointing into
# the program folder and puts the icon into the user's icon theme folder.
# Inputs: CMAKE_INSTALL_PREFIX, OMVEX_DESKTOP_TEMPLATE, OMVEX_ICON_256, OMVEX_ICON_48.

if(DEFINED ENV{DESTDIR} AND NOT "$ENV{DESTDIR}" STREQUAL "")
  # A staged install (for a package) must not touch the home folder of whoever builds it.
  message(STATUS "Desktop entry not installed: DESTDIR is set")
  return()
endif()

if(DEFINED ENV{XDG_DATA_HOME} AND IS_ABSOLUTE "$ENV{XDG_DATA_HOME}")
  set(omvex_data_home "$ENV{XDG_DATA_HOME}")
elseif(DEFINED ENV{HOME} AND NOT "$ENV{HOME}" STREQUAL "")
  set(omvex_data_home "$ENV{HOME}/.local/share")
else()
  message(WARNING "Desktop entry not installed: neither XDG_DATA_HOME nor HOME is set")
  return()
endif()

get_filename_component(omvex_folder "${CMAKE_INSTALL_PREFIX}" ABSOLUTE)
if(omvex_folder MATCHES "[\n\r\t]")
  message(WARNING "Desktop entry not installed: the program folder's name holds a line break or tab")
  return()
endif()

# Exec takes a quoted argument: inside the quotes ", `, $ and \ get a backslash; then the whole
# value is a desktop-file string, in which every backslash is doubled, and % becomes %%.
set(omvex_exec "${omvex_folder}/omvex")
string(REPLACE "\\" "\\\\" omvex_exec "${omvex_exec}")
string(REPLACE "\"" "\\\"" omvex_exec "${omvex_exec}")
string(REPLACE "`" "\\`" omvex_exec "${omvex_exec}")
string(REPLACE "$" "\\$" omvex_exec "${omvex_exec}")
set(omvex_exec "\"${omvex_exec}\"")
string(REPLACE "\\" "\\\\" omvex_exec "${omvex_exec}")
string(REPLACE "%" "%%" omvex_exec "${omvex_exec}")

# TryExec and Path are plain strings: only backslashes need doubling.
string(REPLACE "\\" "\\\\" omvex_plain_folder "${omvex_folder}")
set(OMVEX_DESKTOP_EXEC "${omvex_exec}")
set(OMVEX_DESKTOP_TRYEXEC "${omvex_plain_folder}/omvex")
set(OMVEX_DESKTOP_PATH "${omvex_plain_folder}")

set(omvex_applications "${omvex_data_home}/applications")
set(omvex_entry "${omvex_applications}/omvex.desktop")
configure_file("${OMVEX_DESKTOP_TEMPLATE}" "${omvex_entry}" @ONLY NEWLINE_STYLE UNIX)
message(STATUS "Installing: ${omvex_entry}")

set(omvex_icons "${omvex_data_home}/icons/hicolor")
file(INSTALL "${OMVEX_ICON_256}" DESTINATION "${omvex_icons}/256x256/apps" RENAME omvex.png)
file(INSTALL "${OMVEX_ICON_48}" DESTINATION "${omvex_icons}/48x48/apps" RENAME omvex.png)

# Menus pick the entry up by themselves; refreshing the cache only makes it quicker where the tool exists.
find_program(omvex_update_desktop_database update-desktop-database)
if(omvex_update_desktop_database)
  execute_process(COMMAND "${omvex_update_desktop_database}" "${omvex_applications}"
                  RESULT_VARIABLE omvex_ignored OUTPUT_QUIET ERROR_QUIET)
endif()

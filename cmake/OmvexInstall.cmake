# `cmake --install <build> --prefix ~/Omvex` makes one self-contained program folder: the program,
# omvex-predict, omvex.hlp and the icon side by side. The program keeps kako.txt and omvex.ini in
# its own folder, so that folder has to belong to the user: by default it is ~/Omvex, not a
# system folder. A desktop menu entry and the icon are then installed for the user.

option(OMVEX_INSTALL_DESKTOP_ENTRY "Install a desktop menu entry and icon for the installing user" ON)

if(CMAKE_INSTALL_PREFIX_INITIALIZED_TO_DEFAULT AND DEFINED ENV{HOME})
  set(CMAKE_INSTALL_PREFIX "$ENV{HOME}/Omvex" CACHE PATH "The program folder" FORCE)
endif()

# The programs go in without their debug information (most of their size), as `cmake --install
# --strip` would install them: this install rule runs before the programs' own, which strip when
# CMAKE_INSTALL_DO_STRIP is set.
install(CODE "set(CMAKE_INSTALL_DO_STRIP TRUE)" COMPONENT program)

foreach(program omvex omvex-predict)
  if(TARGET ${program})
    install(TARGETS ${program} RUNTIME DESTINATION . COMPONENT program)
  endif()
endforeach()

if(TARGET omvex)
  install(FILES ${CMAKE_SOURCE_DIR}/help/omvex.hlp DESTINATION . COMPONENT program)
  # The window loads its downloads from this module, in its own folder, when the user first fetches.
  install(TARGETS omvex_fetch_module LIBRARY DESTINATION . COMPONENT program)
endif()

# The published results of the first draws become the history of a program folder that has none;
# an existing kako.txt, whatever it holds, is the user's and is never replaced.
if(TARGET omvex)
  install(CODE "
    set(omvex_kako \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/kako.txt\")
    if(NOT EXISTS \"\${omvex_kako}\" AND NOT IS_SYMLINK \"\${omvex_kako}\")
      message(STATUS \"Installing: \${omvex_kako}\")
      file(COPY_FILE \"${CMAKE_SOURCE_DIR}/data/kako.txt\" \"\${omvex_kako}\")
    endif()
  " COMPONENT program)
endif()

# The icon is drawn in code (ui/common/look.cpp); a small tool renders it to PNG at build time.
if(TARGET omvex_ui_common)
  add_executable(omvex-render-icon ${CMAKE_SOURCE_DIR}/packaging/rendericon.cpp)
  target_link_libraries(omvex-render-icon PRIVATE omvex_ui_common Qt6::Gui omvex_warnings)
  set(OMVEX_ICON_DIR ${CMAKE_BINARY_DIR}/packaging)
  add_custom_command(
    OUTPUT ${OMVEX_ICON_DIR}/omvex.png ${OMVEX_ICON_DIR}/omvex-48.png
    COMMAND ${CMAKE_COMMAND} -E make_directory ${OMVEX_ICON_DIR}
    COMMAND omvex-render-icon 256 ${OMVEX_ICON_DIR}/omvex.png 48 ${OMVEX_ICON_DIR}/omvex-48.png
    DEPENDS omvex-render-icon
    COMMENT "Rendering the program icon")
  add_custom_target(omvex_icon ALL DEPENDS ${OMVEX_ICON_DIR}/omvex.png ${OMVEX_ICON_DIR}/omvex-48.png)
  install(FILES ${OMVEX_ICON_DIR}/omvex.png DESTINATION . COMPONENT program)

  if(OMVEX_INSTALL_DESKTOP_ENTRY AND TARGET omvex)
    # Run at install time, when the prefix given to `cmake --install --prefix` is known.
    install(CODE "
      set(OMVEX_DESKTOP_TEMPLATE \"${CMAKE_SOURCE_DIR}/packaging/omvex.desktop.in\")
      set(OMVEX_ICON_256 \"${OMVEX_ICON_DIR}/omvex.png\")
      set(OMVEX_ICON_48 \"${OMVEX_ICON_DIR}/omvex-48.png\")
      include(\"${CMAKE_SOURCE_DIR}/packaging/installdesktopentry.cmake\")
    " COMPONENT desktop)
  endif()
endif()

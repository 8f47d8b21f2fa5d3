# The program: the window (unit Unit1) over the converter core, and its desktop integration.
if(KOMP_GUI AND TARGET komp_in AND TARGET komp_taste)
  add_library(brivox_window STATIC unit1.h unit1.cpp start.h start.cpp)
  target_link_libraries(brivox_window PUBLIC brivox_core komp_in komp_taste komp_framework)
  target_include_directories(brivox_window PUBLIC ${PROJECT_SOURCE_DIR})

  add_executable(brivox main.cpp)
  target_link_libraries(brivox PRIVATE brivox_window)
  qt_add_resources(brivox brivox_icon PREFIX "/" BASE desktop FILES desktop/brivox.png)

  include(GNUInstallDirs)
  install(TARGETS brivox RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES ${PROJECT_SOURCE_DIR}/docs/brivox.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  install(FILES ${CMAKE_CURRENT_SOURCE_DIR}/desktop/brivox.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${CMAKE_CURRENT_SOURCE_DIR}/desktop/brivox.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  install(FILES ${CMAKE_CURRENT_SOURCE_DIR}/desktop/brivox.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/64x64/apps)
endif()

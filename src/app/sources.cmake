list(APPEND TRIPUI_SOURCES
  app/IniFls.cpp
  app/JustOne.cpp
  app/InstanceChannel.cpp
  app/MessageBoxPrompts.cpp
  app/MainForm.cpp
  app/QtTexts.cpp
)
list(APPEND TRIPUI_SOURCES
  app/Progress.cpp
  app/PassW.cpp
)
# The program icon, also the window icon.
qt_add_resources(TRIPUI_SOURCES app/icons.qrc)
# The fonts' licence, shown by the about box.
qt_add_resources(TRIPUI_SOURCES app/licences.qrc)

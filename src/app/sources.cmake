list(APPEND TRIPUI_SOURCES
  app/IniFls.cpp
  app/JustOne.cpp
  app/MessageBoxPrompts.cpp
  app/MainForm.cpp
)
list(APPEND TRIPUI_SOURCES
  app/Progress.cpp
  app/PassW.cpp
)

list(APPEND TRIPUI_SOURCES
  app/IniFls.cpp
  app/JustOne.cpp
  app/MessageBoxPrompts.cpp
  app/MainForm.cpp
)

list(APPEND TRIPCORE_SOURCES
  base/Lang.cpp
  base/Error.cpp
  base/Prompts.cpp
  base/Cp1251.cpp
  base/Rounding.cpp
  base/IniFile.cpp
  base/Folders.cpp
  base/DialogFolders.cpp
)

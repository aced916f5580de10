list(APPEND TRIPCORE_SOURCES
  model/ImageStream.cpp
  model/MKLayout.cpp
  model/MK.cpp
  model/SectionTable.cpp
)
list(APPEND TRIPCORE_SOURCES
  model/SettingsFileKey.cpp
  model/SettingsFile.cpp
)

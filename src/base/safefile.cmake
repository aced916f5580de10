list(APPEND TRIPCORE_SOURCES
  base/SafeFile.cpp
)

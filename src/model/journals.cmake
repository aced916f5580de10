list(APPEND TRIPCORE_SOURCES
  model/Journals.cpp
)

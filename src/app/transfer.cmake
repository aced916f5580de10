# The device transfers are GUI-free: the command-line tool runs them too.
list(APPEND TRIPCORE_SOURCES
  app/Transfer.cpp
  app/Backups.cpp
)

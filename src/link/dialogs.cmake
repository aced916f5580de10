# The link's dialogs live with the windows.
list(APPEND TRIPUI_SOURCES
  link/ML_RS232_SetNumDlg.cpp
)

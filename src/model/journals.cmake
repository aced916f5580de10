list(APPEND TRIPCORE_SOURCES
  model/Journals.cpp
)
list(APPEND TRIPUI_SOURCES
  model/MK_ViewJournalsDlg.cpp
)

list(APPEND TRIPCORE_SOURCES
  model/Journals.cpp
  model/JournalCharts.cpp
)
list(APPEND TRIPUI_SOURCES
  model/MK_ViewJournalsDlg.cpp
)

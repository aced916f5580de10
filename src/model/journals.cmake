list(APPEND TRIPCORE_SOURCES
  model/Journals.cpp
  model/JournalCharts.cpp
  model/JournalsCsv.cpp
)
list(APPEND TRIPCHARTS_SOURCES
  model/JournalChartView.cpp
)
list(APPEND TRIPUI_SOURCES
  model/MK_ViewJournalsDlg.cpp
)

list(APPEND TRIPUI_SOURCES
  editor/Widgets.cpp
  editor/Binder.cpp
  editor/EditorPage.h
)
list(APPEND TRIPUI_SOURCES
  editor/MK_SetParamsDlg.cpp
  editor/PageCorr.cpp
  editor/PageMeth.cpp
  editor/PageLim.cpp
  editor/PageVoice.cpp
  editor/PageAver.cpp
  editor/PagePark.cpp
  editor/PageDivers.cpp
)

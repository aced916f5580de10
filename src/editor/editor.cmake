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
  editor/PageColor.cpp
  editor/PageScreens.cpp
  editor/PaintBox.cpp
  editor/PreviewRefresh.cpp
  editor/ShowDisplaysBox.cpp
  editor/PageOil.cpp
  editor/PageTO.cpp
  editor/PageBlocks.cpp
  editor/PageUniMeas.cpp
  editor/PageHotMenu.cpp
  editor/PageServiceInfo.cpp
  editor/TankServiceFiles.cpp
  editor/PageVoice.cpp
  editor/PageAver.cpp
  editor/PagePark.cpp
  editor/PageDivers.cpp
)

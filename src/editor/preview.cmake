# The screen previews draw into a QImage only: they belong to the GUI-free core,
# so the command line renders them too.
list(APPEND TRIPCORE_SOURCES
  editor/preview/DeviceFonts.cpp
  editor/preview/DeviceFontTables.cpp
  editor/preview/DevicePictures.cpp
  editor/preview/PreviewCanvas.cpp
  editor/preview/PreviewScreens.cpp
)
qt_add_resources(TRIPCORE_SOURCES editor/preview/devicepictures.qrc)

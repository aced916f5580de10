list(APPEND TRIPCORE_SOURCES
  catalogue/ProtsH.cpp
  catalogue/MeasParsH.cpp
  model/MenuItemsH.cpp
)

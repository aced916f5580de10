list(APPEND TRIPCORE_SOURCES
  link/SerialPort.cpp
  link/PortDirectory.cpp
  link/LinkWait.cpp
  link/ML_BD.cpp
  link/ML_BI.cpp
  link/ML_RS_Base.cpp
  link/ML_RS232.cpp
)

#pragma once
// The link's own messages. They have one text each, whatever the interface language.

namespace LinkText {

// No serial port found at all.
inline constexpr char NoPort[] = "Can not find free serial port!";
// No first byte, or an answer too short.
inline constexpr char NoLink[] = "RS232. No link. Check PC-device connection.";
// A byte of the answer came too late.
inline constexpr char Delay[] = "RS232. Delay within block error.";
// A wrong checksum or an empty header; the position follows in brackets: "(0)", "(4)".
inline constexpr char Exchange[] = "RS232. Exchange error.";
// The device answered with the busy status (0xFF).
inline constexpr char Busy[] = "Устройство занято. Возможно, оно находится в режиме местного управления.";
// Asked before identifying the device on an RS-422/485 line.
inline constexpr char OnlyOne[] =
    "ТОЛЬКО ОДНО устройство, подключенное к СОМ-порту, должно быть включено. Это действительно так?";
// The port did not take the chosen rate.
inline constexpr char BaudRate[] = "RS232. Не могу установить нужную скорость обмена.";

} // namespace LinkText

#include "editor/preview/DeviceFonts.h"

int TDeviceFont::GlyphOf(uint8_t ch) const {
    if (FullSet) {
        if (ch >= 32 && ch <= 127) return ch - 32;
        if (ch >= 192) return ch - 96;
        return -1; // control characters and the cp1251 signs
    }
    switch (ch) {
    case '+':
        return 1;
    case '-':
        return 2;
    case '.':
        return 3;
    case ':':
        return 4;
    case 'T':
        return 15;
    case 'D':
        return 16;
    case 'N':
        return 17;
    case 'P':
        return 18;
    case 'R':
        return 19;
    default:
        return ch >= '0' && ch <= '9' ? 5 + (ch - '0') : 0;
    }
}

const TDeviceFont &DeviceFont(TFontSize size) {
    static const TDeviceFont fonts[] = {
        {8, 16, 160, true, DeviceFonts::SmallGlyphs},
        {16, 32, 160, true, DeviceFonts::MediumGlyphs},
        {32, 64, 20, false, DeviceFonts::LargeGlyphs},
    };
    return fonts[static_cast<int>(size)];
}

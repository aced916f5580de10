#pragma once
// The device's three bitmap fonts. Glyph g of a font takes (width / 8) × height bytes
// from byte g × (width / 8) × height of its table: rows top to bottom, each row left
// to right, the most significant bit of a byte the leftmost pixel.

#include <cstdint>

enum class TFontSize : uint8_t { Small, Medium, Large };

struct TDeviceFont {
    int Width; // cell, pixels
    int Height;
    int GlyphCount;
    bool FullSet; // ASCII and the cp1251 letters; otherwise the digits set
    const uint8_t *Glyphs;

    int BytesPerRow() const { return Width / 8; }
    int BytesPerGlyph() const { return BytesPerRow() * Height; }
    // The glyph that draws a cp1251 character, or -1 when the font does not draw it.
    int GlyphOf(uint8_t ch) const;
};

const TDeviceFont &DeviceFont(TFontSize size);

namespace DeviceFonts {
// Made by scripts/make-device-fonts.py.
extern const uint8_t SmallGlyphs[160 * 16];
extern const uint8_t MediumGlyphs[160 * 64];
extern const uint8_t LargeGlyphs[20 * 256];
} // namespace DeviceFonts

#pragma once
// The drawing operations of the screen previews on a 320 × 240 bitmap, with the
// device's drawing state: origin, text cursor, colours, line width and font.
//
// Colours are device colours (RGB 5-6-5), expanded for the PC as the settings image
// does it. Everything is clipped to the screen, and further to an optional clip
// rectangle that keeps a field's texts inside the field.

#include "editor/preview/DeviceFonts.h"
#include "editor/preview/DevicePictures.h"

#include <QByteArrayView>
#include <QImage>
#include <QRect>
#include <cstdint>

class TPreviewCanvas {
public:
    static constexpr int Width = 320;
    static constexpr int Height = 240;

    // The image is made 320 × 240 RGB32 if it is not already.
    explicit TPreviewCanvas(QImage &image);

    void SetOrigin(int x, int y) { originX_ = x, originY_ = y; }
    int OriginX() const { return originX_; }
    int OriginY() const { return originY_; }
    void SetColours(uint16_t foreground, uint16_t background);
    void SetFont(TFontSize size) { font_ = &DeviceFont(size); }
    const TDeviceFont &Font() const { return *font_; }
    void SetLineWidth(int width) { lineWidth_ = width < 1 ? 1 : width; }
    // Drawing stays inside rect (and the screen) until ResetClip.
    void SetClip(const QRect &rect);
    void ResetClip();

    void FillRect(int x, int y, int width, int height, uint16_t colour);
    // From (x0, y0) to (x1, y1), both ends included, line width pixels thick (to the
    // right and down).
    void Line(int x0, int y0, int x1, int y1, uint16_t colour);

    // Sets the cursor and draws the cp1251 characters in order. A character that
    // lies past the screen's columns or rows, or that the font does not draw, is
    // skipped and the cursor stays where it is.
    void TextOut(int column, int row, QByteArrayView text);
    int CursorColumn() const { return column_; }
    int CursorRow() const { return row_; }
    // Width in pixels of what TextOut draws of text in the current font.
    int TextWidth(QByteArrayView text) const;

    // Blends a picture with its top-left corner at (x, y).
    void DrawPicture(TPicture picture, int x, int y);

private:
    void DrawGlyph(int glyph, int x, int y);

    QImage &image_;
    QRgb *bits_;
    qsizetype stride_; // pixels a row
    QRect clip_;
    int originX_ = 0, originY_ = 0;
    int column_ = 0, row_ = 0;
    QRgb foreground_ = 0, background_ = 0;
    int lineWidth_ = 1;
    const TDeviceFont *font_;
};

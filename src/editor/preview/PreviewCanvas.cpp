#include "editor/preview/PreviewCanvas.h"

#include "model/MK.h"

#include <algorithm>
#include <cstdlib>

namespace {
const QRect kScreen(0, 0, TPreviewCanvas::Width, TPreviewCanvas::Height);
} // namespace

TPreviewCanvas::TPreviewCanvas(QImage &image)
    : image_(image), clip_(kScreen), font_(&DeviceFont(TFontSize::Small)) {
    if (image_.size() != kScreen.size() || image_.format() != QImage::Format_RGB32)
        image_ = QImage(kScreen.size(), QImage::Format_RGB32);
    bits_ = reinterpret_cast<QRgb *>(image_.bits()); // detaches once, here
    stride_ = image_.bytesPerLine() / qsizetype(sizeof(QRgb));
}

void TPreviewCanvas::SetColours(uint16_t foreground, uint16_t background) {
    foreground_ = TMK::ColourToRgb(foreground);
    background_ = TMK::ColourToRgb(background);
}

void TPreviewCanvas::SetClip(const QRect &rect) {
    clip_ = rect.intersected(kScreen);
}

void TPreviewCanvas::ResetClip() {
    clip_ = kScreen;
}

void TPreviewCanvas::FillRect(int x, int y, int width, int height, uint16_t colour) {
    if (width <= 0 || height <= 0) return; // QRect would take it for a flipped rectangle
    const QRect r = QRect(x, y, width, height).intersected(clip_);
    if (r.isEmpty()) return;
    const QRgb rgb = TMK::ColourToRgb(colour);
    for (int row = r.top(); row <= r.bottom(); ++row)
        std::fill_n(bits_ + row * stride_ + r.left(), r.width(), rgb);
}

void TPreviewCanvas::Line(int x0, int y0, int x1, int y1, uint16_t colour) {
    const int dx = std::abs(x1 - x0), dy = -std::abs(y1 - y0);
    if (dx == 0 || dy == 0) { // the common case: one rectangle
        FillRect(std::min(x0, x1), std::min(y0, y1), dx + lineWidth_, -dy + lineWidth_, colour);
        return;
    }
    const int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
    int err = dx + dy;
    for (;;) {
        FillRect(x0, y0, lineWidth_, lineWidth_, colour);
        if (x0 == x1 && y0 == y1) break;
        const int e2 = 2 * err;
        if (e2 >= dy) err += dy, x0 += sx;
        if (e2 <= dx) err += dx, y0 += sy;
    }
}

void TPreviewCanvas::TextOut(int column, int row, QByteArrayView text) {
    column_ = column;
    row_ = row;
    const TDeviceFont &f = *font_;
    const int columns = Width / f.Width, rows = Height / f.Height;
    for (const char c : text) {
        const int glyph = f.GlyphOf(uint8_t(c));
        if (glyph < 0 || column_ >= columns || row_ >= rows) continue;
        DrawGlyph(glyph, originX_ + column_ * f.Width, originY_ + row_ * f.Height);
        ++column_;
    }
}

int TPreviewCanvas::TextWidth(QByteArrayView text) const {
    int drawn = 0;
    for (const char c : text)
        drawn += font_->GlyphOf(uint8_t(c)) >= 0;
    return drawn * font_->Width;
}

void TPreviewCanvas::DrawGlyph(int glyph, int x, int y) {
    const TDeviceFont &f = *font_;
    const QRect r = QRect(x, y, f.Width, f.Height).intersected(clip_);
    if (r.isEmpty()) return;
    const uint8_t *rows = f.Glyphs + glyph * f.BytesPerGlyph();
    for (int py = r.top(); py <= r.bottom(); ++py) {
        const uint8_t *bytes = rows + (py - y) * f.BytesPerRow();
        QRgb *out = bits_ + py * stride_;
        for (int px = r.left(); px <= r.right(); ++px) {
            const int i = px - x;
            out[px] = (bytes[i >> 3] & (0x80 >> (i & 7))) ? foreground_ : background_;
        }
    }
}

void TPreviewCanvas::DrawPicture(TPicture picture, int x, int y) {
    const QImage &src = DevicePicture(picture);
    const QRect r = QRect(QPoint(x, y), src.size()).intersected(clip_);
    for (int py = r.top(); py <= r.bottom(); ++py) {
        const auto *in = reinterpret_cast<const QRgb *>(src.constScanLine(py - y));
        QRgb *out = bits_ + py * stride_;
        for (int px = r.left(); px <= r.right(); ++px) {
            const QRgb s = in[px - x];
            const int a = qAlpha(s);
            if (a == 0) continue;
            const QRgb d = out[px];
            const int k = 255 - a; // premultiplied source over the screen
            out[px] = qRgb(qRed(s) + (qRed(d) * k + 127) / 255, qGreen(s) + (qGreen(d) * k + 127) / 255,
                           qBlue(s) + (qBlue(d) * k + 127) / 255);
        }
    }
}

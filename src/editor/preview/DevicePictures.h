#pragma once
// The device's pictures for the screen previews, kept as resources of tripcore
// (PNG with transparency, drawn by scripts/make-device-pictures.py).

#include <QImage>
#include <QSize>
#include <cstdint>

enum class TPicture : uint8_t {
    ScaleL,
    ScaleR,
    Circle99,
    Circle9,
    Arrow,
    GasStation,
    Acc,
    BoatMotor,
    BoatScaleT,
    BoatScaleC,
    BoatT,
    BoatC,
    CheckEngine,
    Electro,
};
constexpr int PictureCount = 14;

const char *PictureName(TPicture picture); // "GasStation"
QSize PictureSize(TPicture picture);
// Premultiplied ARGB, loaded once. Raises Error when the resource is missing or
// does not have the picture's size.
const QImage &DevicePicture(TPicture picture);

#include "editor/preview/DevicePictures.h"

#include "base/Error.h"

#include <QString>
#include <array>

// A static library's resources are linked only when something names them.
static void InitPictureResources() {
    Q_INIT_RESOURCE(devicepictures);
}

namespace {

struct TPictureInfo {
    const char *name;
    int width, height;
};

constexpr std::array<TPictureInfo, PictureCount> kPictures = {{
    {"ScaleL", 79, 136},
    {"ScaleR", 149, 136},
    {"Circle99", 199, 199},
    {"Circle9", 9, 9},
    {"Arrow", 129, 129},
    {"GasStation", 25, 49},
    {"Acc", 79, 41},
    {"BoatMotor", 33, 49},
    {"BoatScaleT", 33, 105},
    {"BoatScaleC", 33, 105},
    {"BoatT", 41, 17},
    {"BoatC", 41, 17},
    {"CheckEngine", 105, 105},
    {"Electro", 105, 105},
}};

const TPictureInfo &Info(TPicture picture) {
    return kPictures[static_cast<size_t>(picture)];
}

QImage Load(TPicture picture) {
    const TPictureInfo &info = Info(picture);
    const QString path = QStringLiteral(":/pictures/%1.png").arg(QLatin1String(info.name));
    QImage image(path);
    if (image.isNull() || image.size() != QSize(info.width, info.height))
        throw Error(QStringLiteral("The picture %1 is missing or damaged.").arg(path));
    return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

} // namespace

const char *PictureName(TPicture picture) {
    return Info(picture).name;
}

QSize PictureSize(TPicture picture) {
    return {Info(picture).width, Info(picture).height};
}

const QImage &DevicePicture(TPicture picture) {
    static const std::array<QImage, PictureCount> images = [] {
        InitPictureResources();
        std::array<QImage, PictureCount> all;
        for (int i = 0; i < PictureCount; ++i)
            all[size_t(i)] = Load(TPicture(i));
        return all;
    }();
    return images[static_cast<size_t>(picture)];
}

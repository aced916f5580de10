#include "model/ImageStream.h"

#include "base/Error.h"

#include <algorithm>
#include <cstring>

void TImageStream::Clear() {
    data_.clear();
    pos_ = 0;
    held_ = 0;
}

void TImageStream::Seek(int position) {
    if (position < 0) throw RangeError(QStringLiteral("Image position %1 is before the image").arg(position));
    pos_ = position;
}

int TImageStream::Read(uint8_t *dst, int count) {
    const int n = std::clamp(Size() - pos_, 0, std::max(count, 0));
    if (n > 0) std::memcpy(dst, data_.constData() + pos_, size_t(n));
    pos_ += n;
    return n;
}

void TImageStream::Write(const uint8_t *src, int count) {
    if (count <= 0) return;
    if (pos_ + count > Size()) data_.resize(pos_ + count, '\0');
    std::memcpy(data_.data() + pos_, src, size_t(count));
    pos_ += count;
}

void TImageStream::Append(const QByteArray &bytes) {
    const bool contiguous = held_ == Size();
    pos_ = Size();
    Write(reinterpret_cast<const uint8_t *>(bytes.constData()), int(bytes.size()));
    if (contiguous) held_ = Size();
}

void TImageStream::Replace(const QByteArray &bytes) {
    data_ = bytes;
    pos_ = 0;
    held_ = Size();
}

void TImageStream::Overlay(const QByteArray &bytes) {
    pos_ = 0;
    Write(reinterpret_cast<const uint8_t *>(bytes.constData()), int(bytes.size()));
    held_ = int(bytes.size());
}

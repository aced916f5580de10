#pragma once
// The raw settings image: a growable byte stream with a position, like the
// device memory copy it holds. Reads stop at the end; writes extend the image.

#include <QByteArray>
#include <cstdint>

class TImageStream {
public:
    void Clear(); // empties the image and rewinds
    int Size() const { return int(data_.size()); }
    int Position() const { return pos_; }
    // A position past the end is allowed: the next write fills the gap with zeros.
    void Seek(int position);

    // Copies up to count bytes from the position on; returns how many it took.
    int Read(uint8_t *dst, int count);
    // Writes at the position, overwriting and extending as needed.
    void Write(const uint8_t *src, int count);
    void Append(const QByteArray &bytes); // writes at the end
    // The image becomes exactly bytes (a completed device read).
    void Replace(const QByteArray &bytes);
    // Overwrites from position 0 on (a settings file); bytes past its end stay.
    void Overlay(const QByteArray &bytes);

    const QByteArray &Bytes() const { return data_; }
    uint8_t At(int i) const { return uint8_t(data_.at(i)); }

    // How many bytes from position 0 on came whole from the last device read or file;
    // what lies beyond them was left over from an earlier image or added by section
    // stores, and so is nobody's data.
    int Held() const { return held_; }

private:
    QByteArray data_;
    int pos_ = 0;
    int held_ = 0;
};

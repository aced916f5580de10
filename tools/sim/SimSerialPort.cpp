#include "SimSerialPort.h"

#include <thread>

bool TSimSerialPort::Open() {
    ++line_->Opens;
    if (!line_->OpenError.isEmpty()) {
        error_ = line_->OpenError;
        return false;
    }
    error_.clear();
    open_ = true;
    incoming_.clear();
    const Clock::time_point now = Clock::now();
    for (const auto &[ms, bytes] : line_->Stale)
        Queue(bytes, now + std::chrono::milliseconds(ms));
    return true;
}

void TSimSerialPort::PurgeInput() {
    const Clock::time_point now = Clock::now();
    while (!incoming_.empty() && incoming_.front().at <= now)
        incoming_.pop_front();
}

bool TSimSerialPort::SetBaudRate(int rate) {
    if (rate <= 0 || (line_->MaxBaudRate > 0 && rate > line_->MaxBaudRate)) return false;
    baud_ = rate;
    return true;
}

void TSimSerialPort::Queue(const QByteArray &bytes, Clock::time_point start) {
    // 11 bits a byte: start, 8 data, two stop bits.
    const auto byteTime = std::chrono::nanoseconds(int64_t(11e9 / (baud_ > 0 ? baud_ : 115200)));
    Clock::time_point at = start;
    for (char c : bytes) {
        if (line_->Pace) at += byteTime;
        incoming_.push_back({uint8_t(c), at});
    }
}

bool TSimSerialPort::Write(const uint8_t *data, int count) {
    if (!open_) return false;
    const QByteArray request(reinterpret_cast<const char *>(data), count);
    line_->Written.append(request);
    Clock::time_point now = Clock::now();
    if (line_->Echo) Queue(request, now);

    QByteArray answer;
    if (line_->Responder) {
        answer = line_->Responder(request);
    } else if (line_->Device) {
        const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count();
        answer = line_->Device->Receive(request, ms);
    }
    if (answer.isEmpty()) return true;
    const int late = !line_->Responder && line_->Device ? line_->Device->AnswerDelayMs() : 0;
    Clock::time_point start = incoming_.empty() ? now : std::max(now, incoming_.back().at);
    if (line_->Pace) start += std::chrono::nanoseconds(int64_t(11e9 / (baud_ > 0 ? baud_ : 115200))) * count;
    start += std::chrono::milliseconds(line_->TurnaroundMs + late);
    Queue(answer, start);
    return true;
}

int TSimSerialPort::Read(uint8_t *dst, int max) {
    if (!open_) return 0;
    const Clock::time_point now = Clock::now();
    int n = 0;
    while (n < max && !incoming_.empty() && incoming_.front().at <= now) {
        dst[n++] = incoming_.front().value;
        incoming_.pop_front();
    }
    return n;
}

bool TSimSerialPort::WaitForData(int timeoutMs) {
    const Clock::time_point limit = Clock::now() + std::chrono::milliseconds(timeoutMs);
    if (!open_ || incoming_.empty()) {
        std::this_thread::sleep_until(limit);
        return false;
    }
    const Clock::time_point next = incoming_.front().at;
    std::this_thread::sleep_until(std::min(limit, next));
    return next <= Clock::now();
}

TSimLine &TSimPortDirectory::Attach(int n, TSimDevice *device) {
    TSimLine &line = lines_[n];
    line.Device = device;
    line.Path = QStringLiteral("sim:%1").arg(n);
    return line;
}

QString TSimPortDirectory::DevicePath(int n) const {
    const auto it = lines_.find(n);
    return it == lines_.end() ? QString() : it->second.Path;
}

bool TSimPortDirectory::Probe(int n) const {
    const auto it = lines_.find(n);
    return it != lines_.end() && it->second.Present;
}

std::unique_ptr<SerialPort> TSimPortDirectory::CreatePort(int n) {
    const auto it = lines_.find(n);
    if (it == lines_.end()) return nullptr;
    return std::make_unique<TSimSerialPort>(&it->second);
}

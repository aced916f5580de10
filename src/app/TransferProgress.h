#pragma once
// What a device transfer shows while it runs: the progress window in the GUI, lines
// on stderr in the command-line tool.

#include <QString>

class TTransferProgress {
public:
    virtual ~TTransferProgress() = default;
    virtual void SetLabel(const QString &text) = 0;
    virtual void SetGauge(int percent) = 0; // 0 … 100
    virtual void SetGaugeVisible(bool visible) = 0;
    virtual void SetCancelVisible(bool visible) = 0;
    virtual bool Cancelled() const = 0;
};

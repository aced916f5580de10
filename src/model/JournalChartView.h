#pragma once
// A journal chart drawn with Qt Charts. The viewer's Charts page shows one per
// journal; tripconf-cli journals --chart renders the same view offscreen.

#include "model/JournalCharts.h"

#include <QChartView>
#include <QImage>

class TJournalChartView : public QChartView {
    Q_OBJECT
public:
    explicit TJournalChartView(QWidget *parent = nullptr);

    // Replaces the drawn chart by a new one of this model.
    void SetChart(const JournalCharts::TChart &model);
    const JournalCharts::TChart &Model() const { return model_; }

    // The view as it is drawn now.
    QImage Picture();

private:
    void Hover(int category, bool entered);

    JournalCharts::TChart model_;
};

// The chart drawn offscreen at this size, as the viewer draws it.
QImage RenderJournalChart(const JournalCharts::TChart &model, QSize size);
// The picture as PNG bytes, encoded in memory so that the safe writer gets them all.
// Raises Error.
QByteArray PngBytes(const QImage &image);

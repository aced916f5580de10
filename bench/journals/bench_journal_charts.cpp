// How long the journal charts take for full journals (21 trips and 21 refuellings,
// both fuels): the charts' data, the Qt Charts objects as the viewer builds them when
// it opens or a journal is cleared, and drawing both into pictures. Runs offscreen
// unless a platform is given. Prints the mean and the slowest of 20 runs.
// Target: the data and the chart objects of both journals together under 50 ms. Exit
// code 1 when it is missed.

#include "model/JournalChartView.h"
#include "model/JournalCharts.h"

#include <QApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <functional>

using namespace JournalCharts;
using Journals::TJournal;

namespace {

// Every slot in use, the values varying from slot to slot.
TRecords FullJournal(uint32_t seed) {
    TRecords records;
    for (int slot = 0; slot < int(records.size()); ++slot) {
        const auto k = uint32_t(slot) + seed;
        records[size_t(slot)] = {
            uint16_t((k * 37) % 1440), uint8_t(1 + k % 28), uint8_t(1 + k % 12), 600 + 97 * k,
            5000 + 3100 * k,           400 + 230 * k,       (k % 3) * 150 * k};
    }
    return records;
}

struct TTiming {
    double mean = 0, worst = 0; // ms
};

TTiming Time(const std::function<void()> &run) {
    constexpr int runs = 20;
    run(); // fonts and caches loaded once
    double total = 0, worst = 0;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        run();
        const double ms = double(t.nsecsElapsed()) / 1e6;
        total += ms;
        worst = std::max(worst, ms);
    }
    return {total / runs, worst};
}

} // namespace

int main(int argc, char *argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const TRecords trips = FullJournal(0), refuellings = FullJournal(5);
    const Journals::TPrices prices{500, 120, 15, 250};

    TChart tripChart, tankChart;
    const TTiming data = Time([&] {
        tripChart = Build(TJournal::Trip, trips, prices);
        tankChart = Build(TJournal::Tank, refuellings, prices);
    });
    TJournalChartView tripView, tankView;
    for (TJournalChartView *view : {&tripView, &tankView}) {
        view->setAttribute(Qt::WA_DontShowOnScreen);
        view->resize(1004, 430); // about what the viewer's page leaves
        view->show();
    }
    const TTiming objects = Time([&] {
        tripView.SetChart(Build(TJournal::Trip, trips, prices));
        tankView.SetChart(Build(TJournal::Tank, refuellings, prices));
    });
    const TTiming pictures = Time([&] {
        (void)tripView.Picture();
        (void)tankView.Picture();
    });
    const TTiming cli = Time([&] { (void)RenderJournalChart(tripChart, QSize(1200, 600)); });

    std::printf("%-44s %9s %9s\n", "21 trips + 21 refuellings", "mean ms", "worst ms");
    std::printf("%-44s %9.3f %9.3f\n", "chart data (both)", data.mean, data.worst);
    std::printf("%-44s %9.3f %9.3f\n", "data and Qt Charts objects (both)", objects.mean, objects.worst);
    std::printf("%-44s %9.3f %9.3f\n", "drawing both into pictures", pictures.mean, pictures.worst);
    std::printf("%-44s %9.3f %9.3f\n", "tripconf-cli --chart drawing (1200 x 600)", cli.mean, cli.worst);
    const bool ok = objects.mean < 50;
    std::printf("data and objects target < 50 ms: %s\n", ok ? "met" : "MISSED");
    return ok ? 0 : 1;
}

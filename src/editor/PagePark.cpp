#include "editor/PagePark.h"

#include "editor/Widgets.h"
#include "model/MK.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>

TPagePark::TPagePark(TEditorContext &context, QWidget *parent) : TEditorPage(context, parent) {
    QHBoxLayout *columns = Columns();
    const auto group = [&](const char *name, TBiText caption) {
        QGroupBox *box = b.Group({.control = name, .caption = caption}, this);
        columns->addWidget(box, 0, Qt::AlignTop);
        auto *inner = new QHBoxLayout(box);
        auto *col = new TColumn(b, box);
        inner->addWidget(col);
        return col;
    };
    TColumn *rear = group("gbPark0", {"Задний", "Rear"});
    TColumn *front = group("gbPark1", {"Передний", "Front"});
    columns->addStretch(1);

    // Distances in units of 10 cm move by the arrows only, so only what the unit holds is offered.
    const auto spin = [this](TColumn *col, const char *control, TBiText caption, const char *field,
                             double min, double max, bool decimetres = false) {
        col->Row(b.Spin({.control = control,
                         .caption = caption,
                         .map = Map::Field(field, decimetres ? 0.1 : 1),
                         .min = min,
                         .max = max,
                         .step = decimetres ? 10.0 : 1.0,
                         .arrowsOnly = decimetres},
                        col));
    };
    // clang-format off
    for (TColumn *col : {rear, front}) {
        const bool isRear = col == rear;
        const auto name = [isRear](const char *base) -> QByteArray { return QByteArray(base) + (isRear ? "0" : "1"); };
        col->Wide(b.Check({.control = name("cbParkUse").constData(), .caption = {"Использовать", "Use"},
                           .map = Map::Field(isRear ? "ParkUse0" : "ParkUse1")}, col));
        spin(col, name("seParkProbesQntReal").constData(), {"Количество датчиков", "Number of sensors"},
             isRear ? "ParkProbesQntReal0" : "ParkProbesQntReal1", 2, 4);
        spin(col, name("seParkSense").constData(), {"Чувствительность", "Sensitivity"},
             isRear ? "ParkSense0" : "ParkSense1", 1, 7);
        spin(col, name("seParkSpeed").constData(), {"Быстродействие", "Speed"}, isRear ? "ParkSpeed0" : "ParkSpeed1", 1, 3);
        spin(col, name("seParkMinLeng").constData(), {"Граница тревога", "Alarm limit"},
             isRear ? "ParkMinLeng0" : "ParkMinLeng1", 30, 90, true);
        if (isRear) {
            spin(col, "seParkStopVel0", {"ПаркStop скорость", "ParkStop speed"}, "ParkStopVel0", 0, 20);
            spin(col, "seParkStopLeng0", {"ПаркStop cм", "ParkStop,cm"}, "ParkStopLeng0", 40, 250, true);
            spin(col, "seParkStopLengBeep", {"Бип Stop cм", "Stop buzz cm"}, "ParkStopLengBeep", 40, 250, true);
            spin(col, "seParkFarkopLen", {"Фаркоп см", "Tow bar cm"}, "ParkFarkopLen", 0, 50);
            col->Wide(b.Radio({.control = "rgParkBeepType", .caption = {"Тип озвучки", "Sound type"},
                               .map = Map::Field("ParkBeepType"),
                               .items = {{"Нет", "No"}, {"Zumm", "Buzz"}, {"Пред.", "Limit"}, {"Голос", "Voice"}},
                               .columns = 0}, col));
        } else {
            spin(col, "seParkStopVel1", {"Парк скорость", "Park.speed"}, "ParkStopVel1", 0, 90);
            spin(col, "seParkStopLeng1", {"Парк cм", "Park,cm"}, "ParkStopLeng1", 50, 250, true);
            col->Wide(b.Radio({.control = "rgParkForwConstOff", .caption = {"Режим работы", "Opration mode"},
                               .map = Map::Field("ParkForwConstOff"),
                               .items = {{"Вкл", "On"}, {"Вкл3с", "On 3sec"}, {"ДвЗад", "Reverse"}},
                               .columns = 0}, col));
        }
        col->Stretch();
    }
    // clang-format on
}

#include "editor/PageDivers.h"

#include "editor/Widgets.h"
#include "model/MK.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QVBoxLayout>

TPageDivers::TPageDivers(TEditorContext &context, QWidget *parent) : TEditorPage(context, parent) {
    QHBoxLayout *columns = Columns();
    TColumn *left = AddColumn(columns);
    TColumn *right = AddColumn(columns);
    showDisplaysArea = new QVBoxLayout;
    showDisplaysArea->setObjectName(QStringLiteral("layShowDisplays"));
    columns->addLayout(showDisplaysArea, 1);

    // Item 2 switches by the parking lights, which some devices cannot sense.
    const auto byLights = [this](int item) { return item != 2 || !ctx.caps.NoParkingLightsInput; };
    const QList<TBiText> methods = {{"Руч.", "Man."}, {"Время", "Time"}, {"Габар.", "P.lights"}};

    // clang-format off
    left->Wide(b.Check({.control = "cbDispShowTitle", .caption = {"Заставка показывать", "Show title"},
                        .map = Map::Bit("DisplayBits", 0)}, left));
    left->Wide(b.Check({.control = "cbShowDispName", .caption = {"Подпись дисп. показывать", "Show display names"},
                        .map = Map::Bit("DisplayBits", 4)}, left));
    left->Wide(b.Radio({.control = "rgDispSpeed",
                        .caption = {"Скорость вывода информации, раз/сек", "Information output speed, time/sec"},
                        .map = Map::Field("DispSpeed"), .items = {{"1", "1"}, {"2", "2"}, {"3", "3"}, {"4", "4"}},
                        .columns = 0}, left));
    left->Wide(b.Radio({.control = "rgDispShowPBMeth", .caption = {"Прогрессбар", "Progressbar"},
                        .map = Map::Bit("DisplayBits", 1), .items = {{"Макс.", "Max"}, {"Границы", "Bounds"}},
                        .columns = 0, .storeOn = TStoreOn::FocusOut}, left));
    left->Row(b.Spin({.control = "seExpPBLim", .caption = {"Мновенный расход Предел, л/час ", "Mom.Fuel Cns Limit, l/h"},
                      .map = Map::Field("ExpPBLim"), .min = 3, .max = 99}, left));
    left->Wide(b.Radio({.control = "rgActiveColorScheme", .caption = {"Цветовая схема в руч. режиме", "Color scheme in manual mode"},
                        .map = Map::Field("ActiveColorScheme"), .items = {{"День", "Day"}, {"Ночь", "Night"}},
                        .columns = 0}, left));

    // One byte holds both methods: brightness in the low four bits, colour scheme in the high four.
    right->Wide(b.Radio({.control = "rgIntenseMeth", .caption = {"Управление яркостью дисплея", "Display brightness control"},
                         .map = Map::Bits("IntenseMeth", 0, 4), .items = methods, .columns = 0,
                         .itemEnabled = byLights}, right));
    right->Wide(b.Radio({.control = "rgColorMeth", .caption = {"Управление цветовой схемой", "Display color scheme control"},
                         .map = Map::Bits("IntenseMeth", 4, 4), .items = methods, .columns = 0,
                         .itemEnabled = byLights}, right));
    right->Row(b.Edit({.control = "meIntenseDayTime", .caption = {"Время вкл. ДНЕВНОЙ яркости", "Day brightness on time"},
                       .map = Map::Field("IntenseDayTime"), .kind = TEditKind::Time}, right))->setFixedWidth(56);
    right->Row(b.Edit({.control = "meIntenseNightTime", .caption = {"Время вкл. НОЧНОЙ яркости", "Night brightness on time"},
                       .map = Map::Field("IntenseNightTime"), .kind = TEditKind::Time}, right))->setFixedWidth(56);
    right->Row(b.Spin({.control = "seIntense0", .caption = {"Яркость подсветки (День)", "Backlight brightness (Day)"},
                       .map = Map::Field("Intense0"), .min = 0, .max = 4}, right));
    right->Row(b.Spin({.control = "seIntense1", .caption = {"Яркость подсветки (Ночь)", "Backlight brightness (Night)"},
                       .map = Map::Field("Intense1"), .min = 0, .max = 4}, right));
    // clang-format on
    // Made after the columns to its left, so that Tab reaches it after them.
    showDisplays = new TShowDisplaysBox(ctx, this);
    showDisplaysArea->addWidget(showDisplays);
}

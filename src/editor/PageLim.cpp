#include "editor/PageLim.h"

#include "editor/Widgets.h"
#include "model/MK.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <algorithm>

namespace {

bool Hybrid(const TEditorContext &ctx) { return ctx.Protocol() && ctx.Protocol()->IsHybrid; }

} // namespace

TPageLim::TPageLim(TEditorContext &context, QWidget *parent) : TEditorPage(context, parent) {
    auto *columns = new QHBoxLayout(this);
    columns->setContentsMargins(12, 12, 12, 12);
    columns->setSpacing(36);
    auto *left = new TColumn(b, this);
    auto *right = new TColumn(b, this);
    columns->addWidget(left, 0, Qt::AlignTop);
    columns->addWidget(right, 0, Qt::AlignTop);
    columns->addStretch(1);
    const auto limit = [this](TColumn *col, const char *control, TBiText caption, const char *field, double min,
                              double max, double step = 1, TCapsPredicate caps = {}) {
        return col->Row(b.Spin({.control = control, .caption = caption, .map = Map::Field(field), .min = min,
                                .max = max, .step = step, .caps = std::move(caps)},
                               col));
    };
    const auto notJams = [](const TDeviceCaps &c) { return !c.NoJamStatistics; };
    const auto accelTimer = [](const TDeviceCaps &c) { return !c.NoAccelTimer; };

    // Captions and visibility of the protocol-dependent rows come from the protocol rules.
    // clang-format off
    seLiqTemperLimit = left->Row(b.Spin({.control = "seLiqTemperLimit", .caption = {"", ""},
                                         .map = Map::Field("LiqTemperLimit"), .min = 30, .max = 150,
                                         .captionFn = [this] { return LiqTemperCaption(); }}, left));
    limit(left, "seRevolutionsLimit", {"Обороты двиг., об/мин * 100", "Engine speed, rpm*100"}, "RevolutionsLimit", 25, 80);
    left->Row(b.Spin({.control = "seVelocityLimit", .caption = {"Скорость, км/час", "Speed, km/h"},
                      .map = Map::Field("VelocityLimit", 0.5), .min = 40, .max = 200, .step = 2,
                      .arrowsOnly = true}, left));
    limit(left, "seStopVelocityLimit", {"Скорость  пробки, км/час", "Jam speed, km/h"}, "StopVelocityLimit", 0, 200, 2,
          notJams);
    limit(left, "seTankLimit", {"Остаток бака, л", "Fuel rem., l"}, "TankLimit", 5, 99, 2);
    // Battery limits of a 24 V vehicle have their own ranges.
    left->Row(b.Spin({.control = "seUaccLowLimit", .caption = {"Низкое напряжение АКБ, В", "Low batt.voltage, V"},
                      .map = Map::Field("UaccLowLimit", 10), .step = 2, .decimals = 1,
                      .bounds = [this] { return ctx.caps.Is24V ? TBounds{18.0, 27.8} : TBounds{9.0, 13.9}; }}, left));
    left->Row(b.Spin({.control = "seUaccHighLimit", .caption = {"Высокое напряжение АКБ, В", "High batt.voltage, V"},
                      .map = Map::Field("UaccHighLimit", 10), .step = 2, .decimals = 1,
                      .bounds = [this] { return ctx.caps.Is24V ? TBounds{28.0, 32.0} : TBounds{14.0, 16.0}; }}, left));
    seVentTempLimit = left->Row(b.Spin({.control = "seVentTempLimit", .caption = {"Т вкл. вентилятора, С", "Fan on temper., C"},
                                        .map = Map::Field("VentTempLimit"),
                                        .bounds = [this] { return Hybrid(ctx) ? TBounds{25, 60} : TBounds{75, 115}; }},
                                       left));
    limit(left, "seInjTimeLimit", {"Превыш. времени впр. на ХХ ,%", "High inj.time on idle, %"}, "InjTimeLimit", 1, 99);
    seLiqTemperReady = limit(left, "seLiqTemperReady", {"Т прогрева двигателя, С", "Engine heat.temper, C"},
                             "LiqTemperReady", 10, 110);
    limit(left, "seVel100", {"Разгон до, км/час", "Zero to km/h"}, "Vel100", 40, 200, 1, accelTimer);
    limit(left, "seVel100Down", {"Торможение с, км/час", "Braking from km/h"}, "Vel100Down", 40, 200, 2, accelTimer);
    limit(left, "seVelMinForExp", {"Расх 100/час", "Expense 100/h"}, "VelMinForExp", 5, 15, 2);

    seVAGSFilterLimit = limit(right, "seVAGSFilterLimit", {"Наполнение сажевого фильтра, %", "Diesel filter filling, %"},
                              "VAGSFilterLimit", 5, 60);
    seOilAKPPTemperLimit = limit(right, "seOilAKPPTemperLimit", {"Т масла АКПП, С", "AT oil temper., C"},
                                 "OilAKPPTemperLimit", 80, 150);
    seOilEngTemperLimit = limit(right, "seOilEngTemperLimit", {"Т масла ДВС, С", "Engine  oil temper., C"},
                                "OilEngTemperLimit", 30, 150);
    seCVTFDeteriorLim = limit(right, "seCVTFDeteriorLim", {"Износ масла АКПП * 1000", "AT oil deterior. *1000"},
                              "CVTFDeteriorLim", 10, 100);
    seRetarderOilTemperLimit = limit(right, "seRetarderOilTemperLimit", {"Т масла ретардера, С", "Retarder oil temper., C"},
                                     "RetarderOilTemperLimit", 30, 200);
    seInvTemperLimit = limit(right, "seInvTemperLimit", {"Т инвертора, C", "Inverter temper., C"}, "InvTemperLimit", 50, 120);
    seHVBTemperLimit = limit(right, "seHVBTemperLimit", {"Т ВВБ, C", "HVB temper., C"}, "HVBTemperLimit", 40, 80);
    seAddCoolingTemper = limit(right, "seAddCoolingTemper", {"Т Доп.Охл.ДВС, C", "Eng.add.cool.temper., C"},
                               "AddCoolingTemper", 90, 100);
    seElEngTemperLimit = limit(right, "seElEngTemperLimit", {"Т эл.двигателя, С", "T el.motor, C"}, "ElEngTemperLimit", 30, 200);
    seHybrVentSpeedStep = limit(right, "seHybrVentSpeedStep", {"Шаг Т при расчете скорости вент.ВВБ ", "T step on fan speed calc"},
                                "HybrVentSpeedStep", 1, 3);
    cbHybridCoolHVB = right->Wide(b.Check({.control = "cbHybridCoolHVB", .caption = {"Нагр.ВВБ", "HVB heating"},
                                           .map = Map::Bit("OptionBits", 15)}, right));
    cbHybrUse6VentSpeed = right->Wide(b.Check({.control = "cbHybrUse6VentSpeed",
                                               .caption = {"Исп. 6 скорость вент. ВВБ", "Use 6 speed HVB fan"},
                                               .map = Map::Bit("OptionBits", 14)}, right));
    auto *battery = right->Wide(b.Radio({.control = "rg24VMode", .caption = {"Режим работы с АКБ", "Use battery"},
                                         .map = Map::Bit("OptionBits", 8), .items = {{"12В", "12V"}, {"24В", "24V"}},
                                         .caps = [](const TDeviceCaps &c) { return c.Is24V; }, .columns = 2}, right));
    battery->setEnabled(false); // shows the stored mode only

    QGroupBox *gbTrim = right->Wide(b.Group({.control = "gbTrim", .caption = {"Трим", "Trim"},
                                             .caps = [](const TDeviceCaps &c) { return c.HasTrim; }}, right));
    auto *trimBox = new QHBoxLayout(gbTrim);
    auto *trim = new TColumn(b, gbTrim);
    trimBox->addWidget(trim);
    seTrimLowLimit = trim->Row(b.Spin({.control = "seTrimLowLimit", .caption = {"Нижний предел", "Low limit"},
                                       .map = Map::Field("TrimLowLimit"),
                                       .after = [this] { KeepTrimLimitInBounds(seTrimHighLimit, "TrimHighLimit"); },
                                       .bounds = [this] { return TBounds{-9, std::max(double(mk.Get("TrimHighLimit")) - 1, -9.0)}; }},
                                      trim));
    seTrimHighLimit = trim->Row(b.Spin({.control = "seTrimHighLimit", .caption = {"Верхний предел", "High limit"},
                                        .map = Map::Field("TrimHighLimit"),
                                        .after = [this] { KeepTrimLimitInBounds(seTrimLowLimit, "TrimLowLimit"); },
                                        .bounds = [this] { return TBounds{std::min(double(mk.Get("TrimLowLimit")) + 1, 90.0), 90}; }},
                                       trim));
    // clang-format on
}

void TPageLim::KeepTrimLimitInBounds(TSpinEdit *limit, const char *field) {
    b.Load(limit); // its bounds follow the other's stored value
    const double v = double(mk.Get(field));
    const double clamped = std::clamp(v, limit->BoundMin(), limit->BoundMax());
    if (clamped == v) return;
    mk.Set(field, int64_t(clamped));
    b.Load(limit);
}

void TPageLim::Load() {
    // Only where the trim limits are shown: elsewhere nothing the user cannot see changes.
    if (!ctx.caps.HasTrim) return;
    // The high limit first, with its bounds from the stored low one, then the low one: so
    // crossed limits keep the low limit and raise the high one above it.
    KeepTrimLimitInBounds(seTrimHighLimit, "TrimHighLimit");
    KeepTrimLimitInBounds(seTrimLowLimit, "TrimLowLimit");
}

QString TPageLim::LiqTemperCaption() const {
    const int k = ctx.Kind();
    if (k == 222) return Bi("Т вод/двиг., С", "T wat/eng., C");
    if (k == 223 || k == 224 || k == 225) return Bi("T цил., C", "T cyl., C");
    if (ctx.Protocol() && ctx.Protocol()->HasCoolantTemp) return Bi("ТОЖ, С", "T coolant, C");
    return Bi("Тдв., С", "Т eng., С");
}

void TPageLim::ApplyProtocolRules() {
    const TProtBase *p = ctx.Protocol();
    const int k = ctx.Kind();
    const bool coolant = p && p->HasCoolantTemp;
    const bool hybrid = p && p->IsHybrid;

    // 2. Coolant or engine temperature limit, and its caption.
    const int label = int(mk.Get("AirWaterShow"));
    b.SetShown(seLiqTemperLimit, coolant || k == 222 || ((k == 254 || k == 255) && label == 2));
    b.RefreshCaption(seLiqTemperLimit);
    // 3. Engine warmed-up temperature.
    b.SetShown(seLiqTemperReady, coolant || k == 222 || k == 223 || k == 224);
    // 5. Oils and the retarder.
    b.SetShown(seOilAKPPTemperLimit, p && p->HasAtOilTemp);
    b.SetShown(seOilEngTemperLimit, p && p->HasEngineOilTemp);
    b.SetShown(seRetarderOilTemperLimit, k == 14 && ctx.caps.HasRetarder);
    b.SetShown(seCVTFDeteriorLim, k == 1);
    // 6. Fan temperature; its range follows the drive.
    b.SetShown(seVentTempLimit, (p && p->HasFanControl) || hybrid);
    b.Load(seVentTempLimit);
    // 7. Hybrid drive.
    for (QWidget *w : std::initializer_list<QWidget *>{seInvTemperLimit, seHVBTemperLimit, seElEngTemperLimit,
                                                       cbHybridCoolHVB, cbHybrUse6VentSpeed, seHybrVentSpeedStep})
        b.SetShown(w, hybrid);
    b.SetShown(seAddCoolingTemper, hybrid && p->HasAddCooling);
    // 8. Soot filter.
    b.SetShown(seVAGSFilterLimit, k == 82);
}

#include "editor/PageVoice.h"

#include "editor/Widgets.h"
#include "model/MK.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace {

const QList<TBiText> kModes = {{"О", "O"}, {"Н", "N"}, {"Б", "B"}, {"М", "M"}, {"Г", "V"}};

bool Hybrid(const TEditorContext &ctx) {
    return ctx.Protocol() && ctx.Protocol()->IsHybrid;
}

} // namespace

TPageVoice::TPageVoice(TEditorContext &context, QWidget *parent) : TEditorPage(context, parent) {
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    pcVoice = new QTabWidget(this);
    pcVoice->setObjectName(QStringLiteral("pcVoice"));
    layout->addWidget(pcVoice);
    // The sub-page "Разное" has no English caption of its own.
    pcVoice->addTab(BuildAlerts(), Bi("Предупреждения", "Warning"));
    pcVoice->addTab(BuildSoundMisc(), QStringLiteral("Разное"));
}

QWidget *TPageVoice::BuildAlerts() {
    auto *page = new QWidget(pcVoice);
    page->setObjectName(QStringLiteral("tsVoiceWarning"));
    auto *columns = new QHBoxLayout(page);
    columns->setContentsMargins(8, 8, 8, 8);
    columns->setSpacing(40);

    // clang-format off
    struct TDef {
        int slot;
        const char *name;
        TBiText caption;
        bool twoGroups;
        TCapsPredicate caps = {};
        TRadioGroup **first = nullptr;
        TRadioGroup **next = nullptr;
        TCaptionFn captionFn = {};
    };
    const auto two = true, one = false;
    const TDef defs[] = {
        {0, "UAccHigh", {"Высокое U АКБ", "High batt.volt."}, two},
        {1, "UAccLow", {"Низкое U АКБ", "Low batt.volt."}, two},
        {2, "Vel", {"Превыш.скорость", "High speed"}, two},
        {3, "Rev", {"Превыш.обороты", "High eng.speed"}, two},
        {4, "Tank", {"Остаток бака", "Fuel rem."}, two},
        {5, "Holo", {"Гололед", "Glaze ice"}, two,
         [](const TDeviceCaps &c) { return !c.NoAirTemperature && !c.PowerReserveTerms; }},
        {6, "TO", {"Выполнить ТО", "Make TS"}, one},
        {7, "100", {"Разгон", "Acceleration"}, two, [](const TDeviceCaps &c) { return !c.NoAccelTimer; }},
        {8, "100Down", {"Торможение", "Brakihg"}, two, [](const TDeviceCaps &c) { return !c.NoAccelTimer; }},
        {9, "Error", {"Неисправность", "Fault"}, one, {}, &rgapError_F},
        {10, "LiqTempHigh", {"Перегрев ОЖ", "Coolant overheat"}, two, {}, &rgapLiqTempHigh_F, &rgapLiqTempHigh_N,
         [this] { return LiqTempHighCaption(); }},
        {11, "Econom", {"Эконометр", "Econometer"}, two},
        {12, "Gabar", {"Габариты", "PArk.lights"}, one, [](const TDeviceCaps &c) { return !c.NoParkingLightsInput; }},
        {13, "TankFull", {"Полный бак", "Full tank"}, one},
        {14, "InjTime", {"%Впрыск/расход", "%Inj/Exp"}, one},
        {15, "LiqTempReady", {"Прогрев ДВС", "Eng.heat."}, one, {}, &rgapLiqTempReady_F},
        {16, "Lights", {"Ближн.Свет", "Low beam"}, one, [](const TDeviceCaps &c) { return !c.NoParkingLightsInput; }},
        {17, "SFilter", {"Сажевый фильтр", "Diesel filter"}, one,
         [](const TDeviceCaps &c) { return c.HasSootFilterAlert; }, &rgapSFilter_F},
        {17, "WaterInFuel", {"Вода в топливе", "Water in fuel"}, two, {}, &rgapWaterInFuel_F, &rgapWaterInFuel_N,
         [this] { return WaterInFuelCaption(); }},
        {18, "TemperOilAKPPHigh", {"Перегрев АКПП", "AT overheat"}, two, {}, &rgapTemperOilAKPPHigh_F,
         &rgapTemperOilAKPPHigh_N},
        {19, "TemperOilEngHigh", {"Перегрев масла ДВС", "Eng.oil overheat"}, two, {}, &rgapTemperOilEngHigh_F,
         &rgapTemperOilEngHigh_N},
        {20, "CVTFDeterior", {"Износ масла АКПП", "AT iol deter."}, one, {}, &rgapCVTFDeterior_F},
        {21, "HVBTemperHigh", {"Перегрев ВВБ", "HVB overheat"}, two, {}, &rgapHVBTemperHigh_F, &rgapHVBTemperHigh_N},
        {22, "InvTemperHigh", {"Перегрев инвертора", "Inv.overheat"}, two, {}, &rgapInvTemperHigh_F,
         &rgapInvTemperHigh_N},
        // The electric motor has its alert in the one slot below 28 that no other row uses.
        {23, "ElEngTemperHigh", {"Перегрев ЭлДвиг", "ElEng.overheat"}, two, {}, &rgapElEngTemperHigh_F,
         &rgapElEngTemperHigh_N},
        {24, "TrimLow", {"Низкий трим", "Low trim"}, two, [](const TDeviceCaps &c) { return c.HasTrim; }},
        {25, "TrimHigh", {"Высокий трим", "High trim"}, two, [](const TDeviceCaps &c) { return c.HasTrim; }},
        {26, "EngTemperHigh", {"Перегрев ДВС", "Engine overheat"}, two, {}, &rgapEngTemperHigh_F,
         &rgapEngTemperHigh_N, [this] { return EngTemperHighCaption(); }},
        {27, "RetarderOilTemperHigh", {"Перегрев ретардера", "Retard.overheat"}, two, {}, &rgapRetarderOilTemperHigh_F,
         &rgapRetarderOilTemperHigh_N},
    };
    // clang-format on

    // Rows with a group for the following warnings in one table, rows with one group in
    // another, each in slot order; the groups are cells of the table, without frames.
    page->setStyleSheet(QStringLiteral("QGroupBox { border: none; margin: 0px; padding: 0px; }"));
    const auto table = [&](int n, bool withNext) {
        auto *host = new QWidget(page);
        columns->addWidget(host, 0, Qt::AlignTop);
        auto *grid = new QGridLayout(host);
        grid->setContentsMargins(0, 0, 0, 0);
        grid->setHorizontalSpacing(12);
        grid->setVerticalSpacing(4);
        auto *first = new QLabel(Bi("Первое", "First"), host);
        first->setObjectName(QStringLiteral("lFirst%1").arg(n));
        grid->addWidget(first, 0, 1);
        if (withNext) {
            auto *next = new QLabel(Bi("Последующие", "Next"), host);
            next->setObjectName(QStringLiteral("lNext%1").arg(n));
            grid->addWidget(next, 0, 2);
        }
        return grid;
    };
    QGridLayout *twoTable = table(1, true);
    QGridLayout *oneTable = table(2, false);

    const auto itemEnabled = [this](int item) { return item < 3 || !ctx.caps.NoVoice; };
    alerts_.resize(std::size(defs));
    // Tab runs down the left table, then down the right one; the rows are made in slot order.
    QList<QWidget *> twoOrder, oneOrder;
    for (size_t i = 0; i < std::size(defs); ++i) {
        const TDef &d = defs[i];
        QGridLayout *grid = d.twoGroups ? twoTable : oneTable;
        const int gridRow = grid->rowCount();
        QWidget *column = grid->parentWidget();
        TAlertRow &row = alerts_[i];
        row.targets = {d.slot};
        // With trim the inverter's modes also go to the battery's slot.
        if (d.slot == 22 && ctx.caps.HasTrim) row.targets.push_back(21);
        const int slot = d.slot;

        const auto makeGroup = [&](bool isFirst) {
            const QByteArray name = "rgap" + QByteArray(d.name) + (isFirst ? "_F" : "_N");
            TValueMap map{[slot, isFirst](const TMK &m) {
                              const int byte = int(m.Get("AlertModes", slot));
                              return QVariant(double(isFirst ? byte & 7 : (byte >> 3) & 7));
                          },
                          [this, i, isFirst](TMK &m, const QVariant &mode) {
                              const TAlertRow &r = alerts_[i];
                              const int byte = AlertByte(i, isFirst ? r.first : r.next, int(mode.toDouble()));
                              for (int s : r.targets)
                                  m.Set("AlertModes", byte, s);
                          }};
            TRadioGroup *g = b.Radio({.control = name.constData(),
                                      .caption = isFirst ? d.caption : TBiText{"", ""},
                                      .map = map,
                                      .items = kModes,
                                      .caps = d.caps,
                                      .after = [this, i] { AlertStored(i); },
                                      .columns = 0,
                                      .storeOn = TStoreOn::FocusOut,
                                      .itemEnabled = itemEnabled,
                                      .captionFn = isFirst ? d.captionFn : TCaptionFn{},
                                      .sideLabel = isFirst},
                                     column);
            auto *items = static_cast<QGridLayout *>(g->layout());
            items->setContentsMargins(0, 0, 0, 0);
            items->setHorizontalSpacing(2);
            return g;
        };
        row.first = makeGroup(true);
        QLabel *label = b.Label(row.first);
        label->setObjectName(QStringLiteral("lap") + QLatin1String(d.name));
        grid->addWidget(label, gridRow, 0);
        grid->addWidget(row.first, gridRow, 1);
        (d.twoGroups ? twoOrder : oneOrder) << row.first;
        if (d.twoGroups) {
            row.next = makeGroup(false);
            grid->addWidget(row.next, gridRow, 2);
            twoOrder << row.next;
        }
        if (d.first) *d.first = row.first;
        if (d.next) *d.next = row.next;
    }
    ChainTabOrder(twoOrder + oneOrder);
    columns->addStretch(1);
    return page;
}

QWidget *TPageVoice::BuildSoundMisc() {
    auto *page = new QWidget(pcVoice);
    page->setObjectName(QStringLiteral("tsVoiceDivers"));
    auto *columns = new QHBoxLayout(page);
    columns->setContentsMargins(12, 12, 12, 12);
    columns->setSpacing(36);
    auto *left = new TColumn(b, page);
    auto *right = new TColumn(b, page);
    columns->addWidget(left, 0, Qt::AlignTop);
    columns->addWidget(right, 0, Qt::AlignTop);
    columns->addStretch(1);
    const auto voice = [](const TDeviceCaps &c) { return !c.NoVoice; };

    // clang-format off
    left->Row(b.Spin({.control = "seSoundVolume", .caption = {"Громкость", "Sound volume"},
                      .map = Map::Field("SoundVolume"), .min = 0, .max = 8, .caps = voice}, left));
    left->Wide(b.Radio({.control = "rgFlagSound", .caption = {"Откл.звук", "Sound off"}, .map = Map::Field("FlagSound"),
                        .build = [this] {
                            QStringList items{Bi("Да", "Yes"), Bi("Нет", "No"), Bi("Замок", "Lock")};
                            if (!ctx.caps.NoVoice) items << Bi("ОтГол", "OfVoice");
                            return items;
                        }, .columns = 0}, left));
    left->Wide(b.Radio({.control = "rgSayHelloMode", .caption = {"Произносить \"Здравствуйте\"", "Say \"Hello\""},
                        .map = Map::Field("SayHelloMode"),
                        .items = {{"Вкл.", "On"}, {"Раз в сутки", "Once a day"}, {"Откл.", "Off"}}, .caps = voice,
                        .columns = 0}, left));
    left->Wide(b.Check({.control = "cbSoundKeys", .caption = {"Вкл. звук при нажатии кнопок", "Sound on when key pressed"},
                        .map = Map::Bit("DisplayBits", 2)}, left));
    left->Wide(b.Check({.control = "cbSoundLock",
                        .caption = {"Вкл. звук при включении замка зажигания", "Sound on when lock on"},
                        .map = Map::Bit("DisplayBits", 3)}, left));

    right->Row(b.Spin({.control = "seSayParamPeriod",
                       .caption = {"Период автоповтора озвуч. параметров  (4=откл)",
                                   "Period of auto.rep. of the sound of parameters (4=Off)"},
                       .map = Map::Field("SayParamPeriod"), .min = 4, .max = 99, .caps = voice}, right));
    right->Row(b.Spin({.control = "seAlarmVelSecNoSayMax",
                       .caption = {"Прореживание сообщений о превыш. скорости, мин (-1=П) ",
                                   "Thinning out reports of speeding(-1=N)"},
                       .map = Map::Field("AlarmVelSecNoSayMax"), .min = -1, .max = 99}, right));
    right->Row(b.Spin({.control = "seSayEconomPeriod", .caption = {"Эконометр период", "Econometer period"},
                       .map = Map::Field("SayEconomPeriod"), .min = 1, .max = 20}, right));
    // clang-format on
    return page;
}

// --- alert bytes --------------------------------------------------------------------------

int TPageVoice::AlertByte(size_t i, const TRadioGroup *picked, int mode) const {
    const TAlertRow &row = alerts_[i];
    if (!row.next) return mode * 9;
    const int stored = int(mk.Get("AlertModes", row.targets.front()));
    const auto shown = [&](const TRadioGroup *g, int storedMode) {
        if (g == picked) return mode;
        return g->ItemIndex() >= 0 ? g->ItemIndex() : storedMode;
    };
    return shown(row.first, stored & 7) + 8 * shown(row.next, (stored >> 3) & 7);
}

void TPageVoice::AlertStored(size_t i) {
    // Rows that show a slot this row just wrote follow it.
    const std::vector<int> &written = alerts_[i].targets;
    for (size_t j = 0; j < alerts_.size(); ++j) {
        if (j == i || std::find(written.begin(), written.end(), alerts_[j].targets.front()) == written.end())
            continue;
        b.Load(alerts_[j].first);
        if (alerts_[j].next) b.Load(alerts_[j].next);
    }
}

// --- rules ----------------------------------------------------------------------------------

void TPageVoice::Load() {
    pcVoice->setCurrentIndex(0);
}

void TPageVoice::ShowRow(TRadioGroup *first, TRadioGroup *next, bool shown) {
    b.SetShown(first, shown);
    if (next) b.SetShown(next, shown);
}

QString TPageVoice::LiqTempHighCaption() const {
    if (ctx.Kind() == 222) return Bi("Перегрев воды", "Water overheat");
    return Bi("Перегрев ОЖ", "Coolant overheat");
}

QString TPageVoice::EngTemperHighCaption() const {
    const int k = ctx.Kind();
    if (k == 222) return Bi("Перегрев двиг.", "Engine overheat");
    if (k == 223 || k == 224 || k == 225) return Bi("Перегрев цил.", "Cylinder  overheat");
    return Bi("Перегрев ДВС", "Engine overheat");
}

QString TPageVoice::WaterInFuelCaption() const {
    if (ctx.Kind() != 225 && Hybrid(ctx)) return Bi("Помпа ДВС", "Engine pump");
    return Bi("Вода в топливе", "Water in fuel");
}

void TPageVoice::ApplyProtocolRules() {
    const TProtBase *p = ctx.Protocol();
    const int k = ctx.Kind();
    const bool coolant = p && p->HasCoolantTemp;
    const bool hybrid = Hybrid(ctx);

    // The coolant or engine temperature alert follows its limit.
    const int label = int(mk.Get("AirWaterShow"));
    ShowRow(rgapLiqTempHigh_F, rgapLiqTempHigh_N,
            coolant || k == 222 || ((k == 254 || k == 255) && label == 2));
    b.RefreshCaption(rgapLiqTempHigh_F);
    ShowRow(rgapEngTemperHigh_F, rgapEngTemperHigh_N, k >= 222 && k <= 225);
    b.RefreshCaption(rgapEngTemperHigh_F);
    ShowRow(rgapLiqTempReady_F, nullptr, coolant);
    ShowRow(rgapError_F, nullptr, p && p->HasFaults);

    // Oils and the retarder.
    ShowRow(rgapTemperOilAKPPHigh_F, rgapTemperOilAKPPHigh_N, p && p->HasAtOilTemp);
    ShowRow(rgapTemperOilEngHigh_F, rgapTemperOilEngHigh_N, p && p->HasEngineOilTemp);
    ShowRow(rgapRetarderOilTemperHigh_F, rgapRetarderOilTemperHigh_N, k == 14);
    ShowRow(rgapCVTFDeterior_F, nullptr, k == 1 || (k == 14 && ctx.caps.HasRetarder));

    // Hybrid drive.
    ShowRow(rgapHVBTemperHigh_F, rgapHVBTemperHigh_N, hybrid);
    ShowRow(rgapInvTemperHigh_F, rgapInvTemperHigh_N, hybrid);
    ShowRow(rgapElEngTemperHigh_F, rgapElEngTemperHigh_N, hybrid);

    // Slot 17 is water in fuel for kind 225 and the engine pump of a hybrid; the soot
    // filter row, sharing it, then only shows it.
    const bool water = k == 225 || hybrid;
    ShowRow(rgapWaterInFuel_F, rgapWaterInFuel_N, water);
    b.RefreshCaption(rgapWaterInFuel_F);
    rgapSFilter_F->setEnabled(!water);
}

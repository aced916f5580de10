#include "catalogue/MeasParsH.h"

#include "base/Lang.h"
#include "catalogue/CatText.h"
#include "catalogue/ProtsH.h"

#include <array>
#include <cstdlib>

// --- base --------------------------------------------------------------------------------

QString TMeasParBase::FixedPoint(int32_t value, int decimals) {
    if (decimals <= 0) return QString::number(value);
    int64_t scale = 1;
    for (int i = 0; i < decimals; ++i)
        scale *= 10;
    const int64_t magnitude = std::llabs(int64_t(value));
    const QString whole = QString::number(magnitude / scale);
    const QString frac = QStringLiteral("%1").arg(magnitude % scale, decimals, 10, QLatin1Char('0'));
    return (value < 0 ? QStringLiteral("-") : QString()) + whole + QLatin1Char('.') + frac;
}

void TMeasParBase::PrepareData() {
    MinText = FixedPoint(Min, Decimals);
    MaxText = FixedPoint(Max, Decimals);
}

void TMomentaryExpenseK::PrepareData() {
    Max = 800;
    TMeasParBase::PrepareData();
}

// --- the parameter table ---------------------------------------------------------------

namespace {

// How a class makes its sample text.
struct TSampleRule {
    enum Kind { Integer, FixedPoint, FixedText } kind;
    int width = 0;              // FixedPoint: field width, 0 = the class's Width
    const char *text = nullptr; // FixedText
};

constexpr TSampleRule Integer{TSampleRule::Integer};
constexpr TSampleRule FixedPoint{TSampleRule::FixedPoint};
constexpr TSampleRule FixedPoint3{TSampleRule::FixedPoint, 3}; // the injection time ignores its width
constexpr TSampleRule Fixed(const char *text) {
    return {TSampleRule::FixedText, 0, text};
}

struct TMeasParDef {
    const char *className;
    uint8_t code;
    int32_t sample, min, max, decimals, width;
    bool bar;
    TSampleRule rule;
    TCatText name, title;
    TCatText labelX4, unitX4, labelX9, unitX9;
    TCatText listLabel;
};

// Ordered by code: class, code, sample, min, max, decimals, width, bar, sample text;
// name, title (x1); label and unit of x4; label and unit of x9; list label.
// clang-format off
constexpr TMeasParDef kDefs[] = {
    {"TTripTime", 1, 0, 0, 100, 0, 3, false, Fixed(" 1:15"),
     EnRu("Time/Trip", "Время/Поез."), EnRu("Time/Trip", "Время/Поез."),
     EnRu("Time/Tr", "Время/П"), EnRu("", ""), EnRu("Time/Trip", "Время/Поез."), EnRu("", ""),
     EnRu("Time/Trip", "Время/Поез.")},
    {"TTripPath", 2, 0, 0, 100, 0, 3, false, Fixed("517.3"),
     EnRu("Path/Trip", "Пробег/Поез."), EnRu("Path/Trip,km", "Пробег/Поездка,км"),
     EnRu("Path/Tr", "Проб/П"), EnRu("km", "км"), EnRu("Path/Trip", "Пробег/Поез."), EnRu("km", "км"),
     EnRu("Path/Trip", "Пробег/Поез.")},
    {"TTripExpense", 3, 0, 0, 100, 0, 3, false, Fixed("123.4"),
     EnRu("Fuel/Trip", "Топл./Поез."), EnRu("Fuel/Trip,l", "Топливо/Поездка,л"),
     EnRu("Fuel/Tr", "Топл/П"), EnRu("litres", "литры"), EnRu("Fuel/Trip", "Топл./Поез."), EnRu("litres", "литры"),
     EnRu("Fuel/Trip", "Топл./Поез.")},
    {"TTripVelocity", 4, 47, 0, 100, 0, 3, false, Integer,
     EnRu("Speed/Trip", "Скор/Поез."), EnRu("Speed/Trip", "Скорость/Поездка"),
     EnRu("Spd/Tr", "Скор/П"), EnRu("km/h", "км/час"), EnRu("Speed/Trip", "Скор/Поез."), EnRu("km/h", "км/час"),
     EnRu("Speed/Trip", "Скор/Поез.")},
    {"TTripMomentaryExpenseK", 5, 0, 0, 100, 0, 3, false, Fixed("23.45"),
     EnRu("Exp/100/Trip", "Расх/100/Поез."), EnRu("Exp/100/Trip", "Расход/Поездка"),
     EnRu("Exp/Tr", "Расх/П"), EnRu("l/100", "л/100"), EnRu("Exp/Trip", "Расх/П"), EnRu("l/100", "л/100"),
     EnRu("Exp/100/Trip", "Расх/100/Поез.")},
    {"TTripPrice", 6, 0, 0, 100, 0, 3, false, Integer,
     EnRu("Cost/Trip", "Стоим/Поез."), EnRu("Cost/Trip,CU", "Стоим/Поездка,уе"),
     EnRu("Cost/Tr", "Стоим/П"), EnRu("CU", "У.е."), EnRu("Cost/Trip", "Стоим/Поез."), EnRu("CU", "У.е."),
     EnRu("Cost/Trip", "Стоим/Поез.")},
    {"TTime", 7, 0, 0, 100, 0, 3, false, Fixed("15:30"),
     EnRu("Time", "Время"), EnRu("Time", "Время"),
     EnRu("Time", "Время"), EnRu("", ""), EnRu("Time", "Время"), EnRu("", ""),
     EnRu("Time", "Время")},
    {"TOil", 8, 20, 0, 50, 0, 3, true, Integer,
     EnRu("Fuel rem.", "Остаток бака"), EnRu("Fuel rem,l", "Остаток бака,л"),
     EnRu("Fuel", "Бак"), EnRu("liters", "литры"), EnRu("Fuel rem.", "Остаток бака"), EnRu("liters", "литры"),
     EnRu("Fuel rem,l", "Остаток бака,л")},
    {"TPrognoz", 9, 300, 0, 999, 0, 3, false, Integer,
     EnRu("Mileage progn", "Прогноз проб"), EnRu("Mileage progn,km", "Прогноз пробега,км"),
     EnRu("MilePrgn", "Прогн.Пр"), EnRu("km", "км"), EnRu("Mile.Progn.", "Прогн.проб."), EnRu("km", "км"),
     EnRu("MilePrgn,km", "Прогн.Пр,км")},
    {"TAccVoltage", 10, 140, 0, 160, 1, 4, true, FixedPoint,
     EnRu("BattVolt", "Напр.АКБ"), EnRu("BattVolt,V", "Напр.АКБ,В"),
     EnRu("BattVolt", "Напр.АКБ"), EnRu("Volts", "Вольты"), EnRu("BattVolt", "Напр.АКБ"), EnRu("Volts", "Вольты"),
     EnRu("BattVolt,V", "Напр.АКБ,В")},
    {"TTemperAir", 11, 20, -20, 60, 0, 3, true, Integer,
     EnRu("Tair/wat/en", "Твоз/вод/дв"), EnRu("T air", "Твоздуха"),
     EnRu("T air", "Tвозд"), EnRu("degrees", "градусы"), EnRu("T air", "Твоздуха"), EnRu("degrees", "градусы"),
     EnRu("T air", "Твоздуха")},
    {"TLightsFlag", 11, 0, 0, 100, 0, 3, false, Fixed("1"),
     EnRu("LowBmCntr", "Упр.БСвет"), EnRu("LowBmCntr", "Упр.БСвет"),
     EnRu("LowBmCntr", "Упр.БСвет"), EnRu("", ""), EnRu("LowBmCntr", "Упр.БСвет"), EnRu("", ""),
     EnRu("LowBmCntr", "Упр.БСвет")},
    {"TVelocity", 12, 60, 0, 160, 0, 3, true, Integer,
     EnRu("Speed", "Скорость"), EnRu("Speed", "Скорость"),
     EnRu("Speed", "Скорость"), EnRu("km/h", "км/час"), EnRu("Speed", "Скорость"), EnRu("km/h", "км/час"),
     EnRu("Speed", "Скорость")},
    {"TRevolutions", 13, 2000, 0, 8000, 0, 4, true, Integer,
     EnRu("Eng.speed", "Обороты"), EnRu("Eng.speed,rpm", "Обороты двиг,об/мин"),
     EnRu("Eng.speed", "Обороты"), EnRu("rpm", "об/мин"), EnRu("Eng.speed", "Обороты двиг"), EnRu("rpm", "об/мин"),
     EnRu("Eng.speed", "Обороты двиг")},
    {"TMomentaryExpenseK", 14, 100, 0, 240, 1, 5, true, FixedPoint,
     EnRu("Expense/100", "Расход/100"), EnRu("Expense,l/100", "Расход,л/100"),
     EnRu("Expens", "Расход"), EnRu("л/100", "л/100"), EnRu("Expens", "Расход"), EnRu("л/100", "л/100"),
     EnRu("Expense,l/100", "Расход,л/100")},
    {"TMomentaryExpenseH", 15, 100, 0, 800, 2, 5, true, Integer,
     EnRu("Expense/h", "Расход/час"), EnRu("Expense,l/h", "Расход,л/час"),
     EnRu("Expens", "Расход"), EnRu("l/h", "л/час"), EnRu("Expens", "Расход"), EnRu("l/h", "л/час"),
     EnRu("Expense,l/h", "Расход,л/час")},
    {"TInjectionTime", 16, 500, 0, 2400, 2, 5, true, FixedPoint3,
     EnRu("Injection time", "Время впрыска"), EnRu("Inject.time,ms", "Время впрыска,мс"),
     EnRu("InjTim", "Впрыск"), EnRu("ms", "мс"), EnRu("Inject.time", "Время впрыска"), EnRu("ms", "мс"),
     EnRu("InjTim,ms", "Впрыск,мс")},
    {"TTemperLiq", 17, 90, 0, 120, 0, 3, true, Integer,
     EnRu("Coolant Temp", "ТОЖ двиг"), EnRu("Coolant Temp,deg", "ТОЖ двигателя,гр"),
     EnRu("CoolantT", "Тдвигат."), EnRu("degrees", "градусы"), EnRu("CoolantTmp", "ТОЖ двигат"), EnRu("degrees", "градусы"),
     EnRu("CoolantTmp", "ТОЖ двигат")},
    {"TMAF", 18, 500, 0, 2400, 1, 5, true, FixedPoint,
     EnRu("Man.Air Flow", "Расх.воздуха"), EnRu("Man.Air Flow,kg/h", "Расх.воздуха,кг/ч"),
     EnRu("MAF", "Р.возд."), EnRu("kg/h", "кг/час"), EnRu("Man.Air Flow", "Расх.воздуха"), EnRu("kg/h", "кг/час"),
     EnRu("MAF,kg/h", "Расх.возд,кг/ч")},
    {"TMAP", 19, 50, 0, 200, 0, 3, true, Integer,
     EnRu("Man.Air Press", "Давление ВК"), EnRu("Man.Air Pr,kPa", "Давление ВК,кПа"),
     EnRu("MAP", "Давление ВК"), EnRu("kPa", "кПа"), EnRu("Man.Air Pr", "Давление ВК"), EnRu("kPa", "кПа"),
     EnRu("MAP,kPa", "Давл.ВК,кПа")},
    {"TThrottle", 20, 20, 0, 100, 0, 3, true, Integer,
     EnRu("Throttle", "Дроссель"), EnRu("Throttle,%", "Дроссель,%"),
     EnRu("Throttle", "Дроссель"), EnRu("%", "%"), EnRu("Throttle", "Дроссель"), EnRu("%", "%"),
     EnRu("Throttle,%", "Дроссель,%")},
    {"TStepMotor", 21, 100, 0, 240, 0, 3, true, Integer,
     EnRu("IS control", "Регулятор ХХ"), EnRu("IS control,steps", "Регулятор ХХ,шаги"),
     EnRu("IScntr", "Рег.ХХ"), EnRu("steps", "шаги"), EnRu("IScntr", "Рег.ХХ"), EnRu("steps", "шаги"),
     EnRu("IScntrl,steps", "Регул.ХХ,шаги")},
    {"TO2Probe1", 22, 100, 0, 400, 2, 4, true, FixedPoint,
     EnRu("OxSens1Volt", "Напряж.ДК1"), EnRu("OxSens1Volt,V", "Напряжение ДК1,В"),
     EnRu("OxSens1V", "Напр.ДК1"), EnRu("Volts", "Вольты"), EnRu("OxSens1Volt", "Напряж.ДК1"), EnRu("Volts", "Вольты"),
     EnRu("OxSens1Volt,V", "Напряж.ДК1,В")},
    {"TO2Probe2", 23, 100, 0, 400, 2, 4, true, FixedPoint,
     EnRu("OxSens2Volt", "Напряж.ДК2"), EnRu("OxSens2Volt,V", "Напряжение ДК2,В"),
     EnRu("OxSens2V", "Напр.ДК2"), EnRu("Volts", "Вольты"), EnRu("OxSens2Volt", "Напряж.ДК2"), EnRu("Volts", "Вольты"),
     EnRu("OxSens2Volt,V", "Напряж.ДК2,В")},
    {"TTemperIntakeAir", 24, 40, 0, 80, 0, 3, true, Integer,
     EnRu("InAirTemp", "Темпер.ВК"), EnRu("InAirTemp,deg", "Температура ВК,град"),
     EnRu("IATemp", "Темпер.ВК"), EnRu("degrees", "градусы"), EnRu("InAirTemp", "Темпер.ВК"), EnRu("degrees", "градусы"),
     EnRu("InAirTemp,deg", "Темп.ВК,град")},
    {"TUOZ", 25, 100, -840, 840, 1, 5, true, FixedPoint,
     EnRu("IgnAngl", "УОЗ"), EnRu("IgnAngl,deg", "УОЗ,градусы"),
     EnRu("IgnAngl", "УОЗ"), EnRu("degrees", "градусы"), EnRu("IgnAngl", "УОЗ"), EnRu("degrees", "градусы"),
     EnRu("IgnAngl,deg", "УОЗ,градусы")},
    {"TCorrUOZ", 26, 10, 0, 100, 1, 4, false, FixedPoint,
     EnRu("IgnAngCorr", "Попр.УОЗ"), EnRu("IgnAngCorr,deg", "Попр.УОЗ,градусы"),
     EnRu("IgnAngCorr", "Попр.УОЗ"), EnRu("degrees", "градусы"), EnRu("IgnAngCorr", "Попр.УОЗ"), EnRu("degrees", "градусы"),
     EnRu("IgnAngCorr,deg", "Попр.УОЗ,градусы")},
    {"TEngCalcLoad", 27, 20, 0, 100, 0, 3, true, Integer,
     EnRu("Engine load", "Нагр.на двиг."), EnRu("Engine load,%", "Нагрузка на дв.%"),
     EnRu("Eng.load", "Нагруз.дв."), EnRu("%", "%"), EnRu("Eng.load", "Нагруз.дв."), EnRu("%", "%"),
     EnRu("Engine load,%", "Нагрузка на дв.%")},
    {"TVAF", 28, 100, 0, 400, 2, 4, true, FixedPoint,
     EnRu("VAF sensor", "VAF сенсор"), EnRu("VAF sensor,V", "VAF сенсор,В"),
     EnRu("VAF sens", "VAF сенс"), EnRu("Volts", "Вольты"), EnRu("VAF sens", "VAF сенс"), EnRu("Volts", "Вольты"),
     EnRu("VAF sensor,V", "VAF сенсор,В")},
    {"TEMV", 29, 10, 0, 100, 0, 3, true, Integer,
     EnRu("EM valve", "ЭлМ клапан"), EnRu("EM valve,%", "ЭлМ клапан,%"),
     EnRu("EM valv,%", "ЭлМ клап,%"), EnRu("%", "%"), EnRu("EM valv,%", "ЭлМ клап,%"), EnRu("%", "%"),
     EnRu("EM valve,%", "ЭлМ клапан,%")},
    {"TCorrRight", 30, 100, 0, 400, 2, 4, true, FixedPoint,
     EnRu("Right corr.", "Корр.правая"), EnRu("Right corr,V", "Коррекция правая,В"),
     EnRu("Right corr", "Корр.пр."), EnRu("Volts", "Вольты"), EnRu("Right corr.", "Корр.правая"), EnRu("Volts", "Вольты"),
     EnRu("Right corr.,V", "Корр.правая,В")},
    {"TCorrLeft", 31, 100, 0, 400, 2, 4, true, FixedPoint,
     EnRu("Left corr.", "Корр.левая"), EnRu("Left corr,V", "Коррекция левая,В"),
     EnRu("Left corr", "Корр.лев."), EnRu("Volts", "Вольты"), EnRu("Left corr.", "Корр.левая"), EnRu("Volts", "Вольты"),
     EnRu("Left corr.,V", "Корр.левая,В")},
    {"TDDK", 32, 100, 0, 400, 2, 4, true, FixedPoint,
     EnRu("ACPressSens", "Напряж.ДДК"), EnRu("AC Press.Sens,V", "Напряжение ДДК,В"),
     EnRu("ACPrSens", "Напр.ДДК"), EnRu("Volts", "Вольты"), EnRu("ACPressSens", "Напряж.ДДК"), EnRu("Volts", "Вольты"),
     EnRu("ACPrSens,V", "Напряж.ДДК,В")},
    {"TThrottle2", 33, 20, 0, 100, 0, 3, true, Integer,
     EnRu("Throttle2", "Дроссель"), EnRu("Throttle2,%", "Дроссель2,%"),
     EnRu("Throttle2", "Дроссель2"), EnRu("%", "%"), EnRu("Throttle2", "Дроссель2"), EnRu("%", "%"),
     EnRu("Throttle2,%", "Дроссель2,%")},
    {"TLightsFlag1", 34, 0, 0, 100, 0, 3, false, Fixed("1"),
     EnRu("LowBmCntr", "Упр.БСвет"), EnRu("LowBmCntr", "Упр.БСвет"),
     EnRu("LowBmCntr", "Упр.БСвет"), EnRu("", ""), EnRu("LowBmCntr", "Упр.БСвет"), EnRu("", ""),
     EnRu("LowBmCntr", "Упр.БСвет")},
    {"TFuelPressFact", 35, 1000, 0, 1600, 0, 5, true, Integer,
     EnRu("FuelPress", "Д.топлива"), EnRu("FuelPress,kPa", "Давл.топл,кПа"),
     EnRu("FuelPress", "Д.топлива"), EnRu("kPa", "кПа"), EnRu("FuelPress", "Д.топлива"), EnRu("kPa", "кПа"),
     EnRu("FuelPress,kPa", "Давл.топл,кПа")},
    {"TTemperOilAKPP", 36, 90, 0, 160, 0, 3, true, Integer,
     EnRu("AT temper.", "Темпер.АКПП"), EnRu("AT temper,deg", "Темп.АКПП,гр"),
     EnRu("AT temp", "Т.АКПП"), EnRu("degrees", "градусы"), EnRu("AT temper.", "Темп.АКПП"), EnRu("degrees", "градусы"),
     EnRu("AT temper.", "Темп.АКПП")},
    {"TAKPPMode", 37, 0, 0, 100, 0, 1, false, Integer,
     EnRu("AT mode", "Режим КПП"), EnRu("AT mode", "Режим КПП"),
     EnRu("ATmode", "Р.КПП"), EnRu("", ""), EnRu("AT mode", "Режим КПП"), EnRu("", ""),
     EnRu("AT mode", "Режим КПП")},
    {"TTemperOilEng", 38, 90, 0, 160, 0, 3, true, Integer,
     EnRu("Eng.oil temper.", "Темп.масла дв."), EnRu("Oil temper,deg", "Т.масла,гр"),
     EnRu("OilTmp", "Т.масла"), EnRu("degrees", "градусы"), EnRu("Oil temper", "Темп.масла"), EnRu("degrees", "градусы"),
     EnRu("Oil temper.", "Темп.масла")},
    {"TTurboPress", 39, 20, 0, 150, 0, 4, true, Integer,
     EnRu("Turbine press", "Давл.турбины"), EnRu("TurbPr,kPa", "Д.турб,кПа"),
     EnRu("TurbPrs", "Д.турб."), EnRu("kPa", "кПа"), EnRu("TurbPrs", "Д.турб."), EnRu("kPa", "кПа"),
     EnRu("TurbPrs", "Д.турб.")},
    {"TPressOilEngine", 41, 200, 0, 800, 0, 4, true, Integer,
     EnRu("Eng.oil press.", "Давл.масла дв."), EnRu("Oil Prs,kPa", "P.масла,кПа"),
     EnRu("OilPres", "P.масла"), EnRu("kPa", "кПа"), EnRu("Oil press", "Давл.масла"), EnRu("kPa", "кПа"),
     EnRu("Oil press", "Давл.масла")},
    {"TWorkTimeEngine", 42, 10000, 0, 800, 0, 5, false, Integer,
     EnRu("Eng.hours", "Моточаcы"), EnRu("Eng.hours", "Моточаcы"),
     EnRu("Eng.hours", "Моточаcы"), EnRu("", ""), EnRu("Eng.hours", "Моточаcы"), EnRu("", ""),
     EnRu("Eng.hours", "Моточаcы")},
    {"TRetarderOilTemper", 43, 90, 0, 160, 0, 3, true, Integer,
     EnRu("Retard.temp", "Т.ретардера"), EnRu("Ret.tmp,deg", "Т.ретард,гр"),
     EnRu("RetTmp", "Т.рет"), EnRu("degrees", "градусы"), EnRu("RetTmp", "Т.рет"), EnRu("degrees", "градусы"),
     EnRu("RetTmp", "Т.рет")},
    {"THVBChargeLevel", 44, 50, 0, 100, 0, 3, true, Integer,
     EnRu("HVB charg", "Заряд ВВБ"), EnRu("HVB charg,%", "Заряд ВВБ,%"),
     EnRu("HVB charg", "Заряд ВВБ"), EnRu("%", "%"), EnRu("HVB charg", "Заряд ВВБ"), EnRu("%", "%"),
     EnRu("HVB charg", "Заряд ВВБ")},
    {"THVBChargeLimit", 45, -20, -50, 0, 0, 3, true, Integer,
     EnRu("HVB ch.lim.", "Лим.зар.ВВБ"), EnRu("HVB ch.lim.,kW", "Лим.зар.ВВБ,кВт"),
     EnRu("HVB ChLim", "Лим.З.ВВБ"), EnRu("kW", "кВт"), EnRu("HVB ChLim", "Лим.З.ВВБ"), EnRu("kW", "кВт"),
     EnRu("HVB ch.lim.", "Лим.З.ВВБ")},
    {"THVBDischargeLimit", 46, 30, 0, 50, 0, 3, true, Integer,
     EnRu("HVB disch.lim.", "Лим.раз.ВВБ"), EnRu("HVB dch.lim,kW", "Лим.раз.ВВБ,кВт"),
     EnRu("HVB DchLm", "Лим.Р.ВВБ"), EnRu("kW", "кВт"), EnRu("HVB DchLm", "Лим.Р.ВВБ"), EnRu("kW", "кВт"),
     EnRu("HVB DchLm", "Лим.Р.ВВБ")},
    {"THVBTemper", 47, 40, -20, 60, 0, 3, true, Integer,
     EnRu("HVB temper.", "Температ.ВВБ"), EnRu("HVB temper,deg", "Темпер.ВВБ,гр"),
     EnRu("HVB tmp", "Темп.ВВБ"), EnRu("degrees", "градусы"), EnRu("HVB tmp", "Темп.ВВБ"), EnRu("degrees", "градусы"),
     EnRu("HVB tmp", "Темп.ВВБ")},
    {"THVBFanSpeed", 48, 3, 0, 6, 0, 2, true, Integer,
     EnRu("HVB fan speed", "Скор.вент.ВВБ"), EnRu("HVB fan speed", "Скор.вент.ВВБ"),
     EnRu("HVB fan", "Вент.ВВБ"), EnRu("", ""), EnRu("HVB fan", "Вент.ВВБ"), EnRu("", ""),
     EnRu("HVB fan", "Вент.ВВБ")},
    {"THVBAirIntakeTemper", 49, 50, -20, 60, 0, 3, true, Integer,
     EnRu("HVB int.air T", "Т.вп.возд.ВВБ"), EnRu("HVB int.air T,deg", "Т.в.возд.ВВБ,гр"),
     EnRu("HVB IAT", "ТВВ ВВБ"), EnRu("degrees", "градусы"), EnRu("HVB IAT", "ТВВ ВВБ"), EnRu("degrees", "градусы"),
     EnRu("HVB IAT", "ТВВ ВВБ")},
    {"THVBFrontBrakeTorq", 50, 300, 0, 600, 0, 3, true, Integer,
     EnRu("Front reg.brake", "Перед.рек.торм"), EnRu("Fr.reg.brake,Nm", "П.рек.тормоз,Нм"),
     EnRu("FrRegBr", "Пер.рек.т"), EnRu("Nm", "Нм"), EnRu("FrRegBr", "Пер.рек.т"), EnRu("Nm", "Нм"),
     EnRu("FrRegBr", "Пер.рек.т")},
    {"THVBRearBrakeTorq", 51, 70, 0, 120, 0, 3, true, Integer,
     EnRu("Rear reg.brake", "Задн.рек.торм"), EnRu("Re.reg.brake,Nm", "З.рек.тормоз,Нм"),
     EnRu("ReRegBr", "Зад.рек.т"), EnRu("Nm", "Нм"), EnRu("ReRegBr", "Зад.рек.т"), EnRu("Nm", "Нм"),
     EnRu("ReRegBr", "Зад.рек.т")},
    {"THVBBrakeTorq", 52, 40, 0, 600, 0, 3, true, Integer,
     EnRu("Regener.brake", "Рекупер.торм"), EnRu("Regen.brake,Nm", "Рекуп.тормоз,Нм"),
     EnRu("RegBrake", "Рекуп.т"), EnRu("Nm", "Нм"), EnRu("RegBrake", "Рекуп.т"), EnRu("Nm", "Нм"),
     EnRu("RegBrake", "Рекуп.т")},
    {"THVBCurrent", 53, 40, -2000, 2000, 1, 5, true, Integer,
     EnRu("HVB curr", "Ток ВВБ"), EnRu("HVB curr,A", "Ток ВВБ,A"),
     EnRu("HVB curr", "Ток ВВБ"), EnRu("A", "A"), EnRu("HVB curr", "Ток ВВБ"), EnRu("A", "A"),
     EnRu("HVB curr", "Ток ВВБ")},
    {"TInvTemper", 54, 40, 0, 120, 0, 3, true, Integer,
     EnRu("Inverter temp.", "Температ.инв"), EnRu("Inv.temp,deg", "Темпер.инв,гр"),
     EnRu("Inv.temp", "Темп.инв"), EnRu("degrees", "градусы"), EnRu("Inv.temp", "Темп.инв"), EnRu("degrees", "градусы"),
     EnRu("Inv.temp", "Темп.инв")},
    {"TCourseAngle", 55, 0, -10, 10, 0, 3, true, Integer,
     EnRu("Pitch", "Тангаж"), EnRu("Pitch,deg", "Тангаж,гр"),
     EnRu("Pitch", "Тангаж"), EnRu("degrees", "градусы"), EnRu("Pitch", "Тангаж"), EnRu("degrees", "градусы"),
     EnRu("Pitch", "Тангаж")},
    {"TSideAngle", 56, 0, -5, 5, 0, 3, true, Integer,
     EnRu("Roll", "Крен"), EnRu("Roll,deg", "Крен,гр"),
     EnRu("Roll", "Крен"), EnRu("degrees", "градусы"), EnRu("Roll", "Крен"), EnRu("degrees", "градусы"),
     EnRu("Roll", "Крен")},
    {"TTemperEngBoat", 57, 0, 0, 160, 0, 3, true, Integer,
     EnRu("Engine temp", "Темп.двиг."), EnRu("Eng.temp,deg", "Т.двиг,гр"),
     EnRu("Eng.tmp", "Т.двиг."), EnRu("degrees", "градусы"), EnRu("Eng.temp.", "Темп.двиг."), EnRu("degrees", "градусы"),
     EnRu("Eng.temp.", "Темп.двиг.")},
    {"TTemperWat", 58, 0, 0, 160, 0, 3, true, Integer,
     EnRu("Water temp.", "Темп.воды"), EnRu("Water T,deg", "Т.воды,гр"),
     EnRu("WaterT", "Темп.воды"), EnRu("degrees", "градусы"), EnRu("Water tmp", "Т.воды"), EnRu("degrees", "градусы"),
     EnRu("Water tmp", "Т.воды")},
    {"TTemperCyl", 59, 0, 0, 160, 0, 3, true, Integer,
     EnRu("Cyl.temp.", "Темп.цил."), EnRu("Cyl.T,deg", "Т.цил,гр"),
     EnRu("Cyl.T", "Т.цил."), EnRu("degrees", "градусы"), EnRu("Cyl.temp.", "Темп.цил."), EnRu("degrees", "градусы"),
     EnRu("Cyl.temp.", "Темп.цил.")},
    {"TTemperCylLeft", 60, 0, 0, 160, 0, 3, true, Integer,
     EnRu("Left Cyl.T", "Темп.лв.цил."), EnRu("LCylT,deg", "Т.ЛвЦ,гр"),
     EnRu("LCyl.T", "Т.ЛвЦ."), EnRu("degrees", "градусы"), EnRu("LftCylT", "Т.ЛвЦил"), EnRu("degrees", "градусы"),
     EnRu("LftCylT", "Т.ЛвЦил")},
    {"TTemperCylRight", 61, 0, 0, 160, 0, 3, true, Integer,
     EnRu("Right Cyl.T", "Темп.пр.цил."), EnRu("RCylT,deg", "Т.ПрЦ,гр"),
     EnRu("RCyl.T", "Т.ПрЦ."), EnRu("degrees", "градусы"), EnRu("RgtCylT", "Т.ПрЦил"), EnRu("degrees", "градусы"),
     EnRu("RgtCylT", "Т.ПрЦил")},
    {"TTrim", 62, 0, 0, 160, 0, 3, true, Integer,
     EnRu("Trim", "Трим"), EnRu("Trim", "Трим"),
     EnRu("Trim", "Трим"), EnRu("", ""), EnRu("Trim", "Трим"), EnRu("", ""),
     EnRu("Trim", "Трим")},
    {"TElEngTemper", 63, 40, 0, 120, 0, 3, true, Integer,
     EnRu("ElMot temper.", "Температ.ЭД"), EnRu("EM temp,deg", "Темпер.ЭД,гр"),
     EnRu("EM temp", "Темп.ЭД"), EnRu("degrees", "градусы"), EnRu("EM temp", "Темп.ЭД"), EnRu("degrees", "градусы"),
     EnRu("EM temp", "Темп.ЭД")},
    {"THVBVoltage", 64, 140, 0, 320, 0, 3, true, Integer,
     EnRu("HVBVolt", "Напр.ВВБ"), EnRu("HVBVolt,V", "Напр.ВВБ,В"),
     EnRu("HVBVolt", "Напр.ВВБ"), EnRu("Volts", "Вольты"), EnRu("HVBVolt", "Напр.ВВБ"), EnRu("Volts", "Вольты"),
     EnRu("HVBVolt", "Напр.ВВБ")},
    {"TMomentaryExpenseL", 65, 100, 0, 100, 1, 5, true, FixedPoint,
     EnRu("FuelCon,km/l", "Расход,км/л"), EnRu("FuelCon,km/l", "Расход,км/л"),
     EnRu("FuelCn", "Расход"), EnRu("km/l", "км/л"), EnRu("FuelCn", "Расход"), EnRu("km/l", "км/л"),
     EnRu("FuelCon,km/l", "Расход,км/л")},
};
// clang-format on

// The forecast speaks of the power reserve on devices with those terms.
const TCatText kPowerReserveTexts[] = {
    EnRu("Power res.", "Запас хода"),      // name
    EnRu("Power res,km", "Запас хода,км"), // title
    EnRu("PowerRes", "Запас Хд"),          // x4 label
    EnRu("km", "км"),                      // x4 unit
    EnRu("PowerRes", "Запас Хд"),          // x9 label
    EnRu("km", "км"),                      // x9 unit
    EnRu("PowerRes,km", "Запас Хд,km"),    // list label
};

const TMeasParDef *FindDef(std::string_view className) {
    for (const TMeasParDef &d : kDefs)
        if (className == d.className) return &d;
    return nullptr;
}

QString MakeSampleText(const TMeasParDef &d) {
    switch (d.rule.kind) {
    case TSampleRule::FixedText:
        return QString::fromUtf8(d.rule.text);
    case TSampleRule::FixedPoint:
        return QStringLiteral("%1").arg(TMeasParBase::FixedPoint(d.sample, d.decimals),
                                        d.rule.width ? d.rule.width : d.width);
    case TSampleRule::Integer:
        break;
    }
    return QStringLiteral("%1").arg(d.sample, d.width);
}

constexpr auto kClassNames = [] {
    std::array<const char *, std::size(kDefs)> names{};
    for (size_t i = 0; i < names.size(); ++i)
        names[i] = kDefs[i].className;
    return names;
}();
static_assert(kClassNames.size() == 65);

} // namespace

std::span<const char *const> MeasParClassNames() {
    return kClassNames;
}

std::unique_ptr<TMeasParBase> CreateMeasPar(std::string_view className, const TDeviceCaps &caps) {
    const TMeasParDef *d = FindDef(className);
    if (!d) return nullptr;
    std::unique_ptr<TMeasParBase> p;
    if (className == "TMomentaryExpenseK")
        p = std::make_unique<TMomentaryExpenseK>();
    else
        p = std::make_unique<TMeasParBase>();
    p->ClassName = QString::fromUtf8(d->className);
    p->Code = d->code;
    p->HasBar = d->bar;
    p->Sample = d->sample;
    p->Min = d->min;
    p->Max = d->max;
    p->Width = d->width;
    p->Decimals = d->decimals;
    p->SampleText = MakeSampleText(*d);

    const bool en = Lang::English();
    const bool powerReserve = className == "TPrognoz" && caps.PowerReserveTerms;
    const TCatText *t = powerReserve ? kPowerReserveTexts : nullptr;
    p->Name = (t ? t[0] : d->name).text(en);
    p->Title = (t ? t[1] : d->title).text(en);
    p->LabelX4 = (t ? t[2] : d->labelX4).text(en);
    p->UnitX4 = (t ? t[3] : d->unitX4).text(en);
    p->LabelX9 = (t ? t[4] : d->labelX9).text(en);
    p->UnitX9 = (t ? t[5] : d->unitX9).text(en);
    p->ListLabel = (t ? t[6] : d->listLabel).text(en);
    return p;
}

std::vector<const char *> MeasParSetOrder(const TDeviceCaps &caps) {
    const bool lightsAsAir = caps.NoAirTemperature && caps.HasLowBeamControl;
    const bool lightsExtra = !caps.NoAirTemperature && caps.HasLowBeamControl;
    std::vector<const char *> order = {"TVelocity",
                                       "TRevolutions",
                                       "TInjectionTime",
                                       "TMomentaryExpenseK",
                                       "TMomentaryExpenseH",
                                       "TAccVoltage",
                                       "TOil",
                                       "TPrognoz",
                                       "TTime",
                                       lightsAsAir ? "TLightsFlag" : "TTemperAir",
                                       "TTemperLiq",
                                       "TMAF",
                                       "TMAP",
                                       "TThrottle",
                                       "TThrottle2",
                                       "TStepMotor",
                                       "TUOZ",
                                       "TCorrUOZ",
                                       "TEngCalcLoad",
                                       "TVAF",
                                       "TEMV",
                                       "TTemperIntakeAir",
                                       "TCorrLeft",
                                       "TCorrRight",
                                       "TO2Probe1",
                                       "TO2Probe2",
                                       "TTripTime",
                                       "TTripMomentaryExpenseK",
                                       "TTripVelocity",
                                       "TTripPath",
                                       "TTripExpense",
                                       "TTripPrice",
                                       "TDDK"};
    if (lightsExtra) order.push_back("TLightsFlag1");
    for (const char *name : {"TFuelPressFact",    "TTemperOilAKPP",      "TAKPPMode",
                             "TTemperOilEng",     "TTurboPress",         "TPressOilEngine",
                             "TWorkTimeEngine",   "TRetarderOilTemper",  "THVBChargeLevel",
                             "THVBChargeLimit",   "THVBDischargeLimit",  "THVBTemper",
                             "THVBFanSpeed",      "THVBAirIntakeTemper", "THVBFrontBrakeTorq",
                             "THVBRearBrakeTorq", "THVBBrakeTorq",       "THVBCurrent",
                             "TInvTemper",        "TCourseAngle",        "TSideAngle",
                             "TTemperEngBoat",    "TTemperWat",          "TTemperCyl",
                             "TTemperCylLeft",    "TTemperCylRight",     "TTrim",
                             "TElEngTemper",      "THVBVoltage",         "TMomentaryExpenseL"})
        order.push_back(name);
    return order;
}

TMeasParList BuildMeasParSet(const TDeviceCaps &caps) {
    TMeasParList set;
    for (const char *name : MeasParSetOrder(caps))
        set.push_back(CreateMeasPar(name, caps));
    return set;
}

TMeasParBase *FindMeasPar(const TMeasParList &set, uint8_t code) {
    for (const auto &p : set)
        if (p->Code == code) return p.get();
    return nullptr;
}

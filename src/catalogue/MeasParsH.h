#pragma once
// The measured parameters the device can display: one object per parameter class,
// with its code, its texts in the interface language and a fixed sample value for
// the editor's lists and screen previews.

#include <QString>
#include <cstdint>
#include <memory>
#include <span>
#include <string_view>
#include <vector>

struct TDeviceCaps;

class TMeasParBase {
public:
    TMeasParBase() = default;
    virtual ~TMeasParBase() = default;
    TMeasParBase(const TMeasParBase &) = delete;
    TMeasParBase &operator=(const TMeasParBase &) = delete;

    // Recomputes MinText and MaxText from Min and Max.
    virtual void PrepareData();

    QString ClassName; // the parameter class, e.g. "TVelocity"

    uint8_t Code = 0;
    bool HasBar = false;
    int32_t Sample = 0; // in units of 10^-Decimals, like Min and Max
    int32_t Min = 0;
    int32_t Max = 100;
    int32_t Width = 3;
    int32_t Decimals = 0;
    QString Name;
    QString SampleText;
    QString Title;
    QString MinText;
    QString MaxText;
    QString LabelX4;
    QString UnitX4;
    QString LabelX9;
    QString UnitX9;
    QString ListLabel;

    // value / 10^decimals with exactly that many decimals ("-84.0", "5.00").
    static QString FixedPoint(int32_t value, int decimals);
};

// Consumption per 100 km: its bar ends at 80.0 l/100 km once prepared.
class TMomentaryExpenseK : public TMeasParBase {
public:
    void PrepareData() override;
};

using TMeasParList = std::vector<std::unique_ptr<TMeasParBase>>;

// Every parameter class, ordered by code (both code-11 classes included).
std::span<const char *const> MeasParClassNames();

// One parameter of the named class with the texts of the current language; the
// flags choose the forecast's texts. Nullptr for an unknown class name.
std::unique_ptr<TMeasParBase> CreateMeasPar(std::string_view className, const TDeviceCaps &caps);

// The classes of the parameter set in creation order: code 11 is the air temperature
// or the lights flag, and code 34 (the lights flag) exists only where the catalogue
// offers it.
std::vector<const char *> MeasParSetOrder(const TDeviceCaps &caps);

// The whole parameter set in creation order.
TMeasParList BuildMeasParSet(const TDeviceCaps &caps);

// The first parameter of the set with that code, or nullptr.
TMeasParBase *FindMeasPar(const TMeasParList &set, uint8_t code);

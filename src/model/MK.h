#pragma once
// TMK: the program's one settings image. The raw image is the master copy of the
// device's configuration memory; the working fields are a typed copy of its eleven
// sections that the editor and the journal viewer read and change.

#include "catalogue/MeasParsH.h"
#include "model/ImageStream.h"
#include "model/MKLayout.h"

#include <QByteArray>
#include <QImage>
#include <QString>
#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <string_view>

struct TSectionEntry {
    uint16_t address = 0; // device address of the first byte
    uint16_t length = 0;  // bytes, the last four of which stay in the image
};

struct THeader {
    uint8_t sectionCount = 0;
    uint8_t variant = 0; // firmware variant
    std::array<TSectionEntry, MKLayout::SectionCount + 1> sections{}; // 1 … 11
};

// A colour scheme as stored: 16 device colours then 12 palette indices.
using TColourScheme = std::array<uint8_t, MKLayout::ColourSchemeSize>;

struct TRgb5 {
    int r = 0, g = 0, b = 0; // 0 … 31 each
    bool operator==(const TRgb5 &) const = default;
};

struct TDate {
    int day = 0, month = 0, year = 0; // year 0 … 99 means 2000 … 2099
    bool operator==(const TDate &) const = default;
};

class TMK {
public:
    TMK();
    TMK(const TMK &) = delete;
    TMK &operator=(const TMK &) = delete;

    // --- raw image -------------------------------------------------------------
    TImageStream Image;
    uint16_t ModelCode = 0x4000;
    THeader Header;

    void ReadHeader();
    // Section operations re-read the header first. A section whose device address
    // lies below the image start is neither loaded nor stored. A store writes the
    // section's fixed size, except where that runs past its own data into the range of
    // another section of the table.
    void LoadSection(int k);
    void StoreSection(int k);
    void LoadAllSections();
    // True when section k of the current header can be placed in the image.
    bool SectionAddressValid(int k) const;

    // --- working fields --------------------------------------------------------
    std::span<uint8_t> Working() { return working_; }
    std::span<const uint8_t> Working() const { return working_; }
    std::span<uint8_t> Section(int k);
    std::span<const uint8_t> Section(int k) const;

    // Typed access by field name; index selects an element of an array field.
    // Unknown names and indexes are programming errors and raise Error.
    int64_t Get(std::string_view name, int index = 0) const;
    // Raises RangeError when the value does not fit the field; the field is then unchanged.
    void Set(std::string_view name, int64_t value, int index = 0);
    float GetFloat(std::string_view name) const;
    void SetFloat(std::string_view name, float value);
    QByteArray GetBytes(std::string_view name) const;
    void SetBytes(std::string_view name, const QByteArray &bytes); // at most the field's size
    static int64_t Get(const TFieldDesc &f, std::span<const uint8_t> working, int index);
    static const TFieldDesc &Field(std::string_view name);

    // Bits of the 32-bit option words.
    bool Bit(std::string_view name, int bit, int index = 0) const;
    void SetBit(std::string_view name, int bit, bool on, int index = 0);

    // Sections 1 … 10 of the working fields, for the editor's cancel.
    QByteArray Snapshot() const;
    void RestoreSnapshot(const QByteArray &snapshot);

    // Service item names (0 … 4) as text, cp1251 in the image.
    QString ServiceName(int item) const;
    void SetServiceName(int item, const QString &name);

    // --- procedures ------------------------------------------------------------
    // The editing procedure: showEditor runs the editor modally and returns true on OK.
    bool EditSettings(const std::function<bool()> &showEditor);
    // The journal procedure: showViewer runs the viewer modally and returns true on OK.
    bool ViewJournals(const std::function<bool()> &showViewer);

    // --- colours ---------------------------------------------------------------
    TColourScheme DefaultDayScheme{};
    TColourScheme DefaultNightScheme{};
    // Fills the default schemes; alternative is the variant some models use.
    void SetDefaultColourSchemes(bool alternative);
    // The variant the catalogue's current model asks for (AltColourDefaults).
    void SetDefaultColourSchemes();

    static uint16_t PackColour(int r, int g, int b);
    static TRgb5 UnpackColour(uint16_t colour);
    // The PC form of a device colour (8 bits a component).
    static QRgb ColourToRgb(uint16_t colour);

    // --- dates -------------------------------------------------------------------
    static uint32_t DayNumber(const TDate &date);
    static TDate DecodeDayNumber(uint32_t number);

    // 320 x 240 canvas for the screen previews.
    QImage Preview;

    // --- measured parameters -------------------------------------------------------
    // One object per parameter class, rebuilt for the catalogue's flags.
    TMeasParList Parameters;
    void BuildParameterList();
    // The first parameter with that code, or nullptr.
    TMeasParBase *FindParameter(uint8_t code) const;

    // Hot menu pages 0 … 3 as a new image has them, for the current menu items:
    // page 2 (parking radar) only when the device has one.
    void FillHotMenuDefaults();

private:
    void SetDefaults();
    void SetSectionDefaults();
    void SetDefaultServiceNames();

    // Catalogue-dependent parts of construction and editing: the protocol catalogue,
    // the measured parameters, the device menu items and the hot menu defaults.
    void SetUpCatalogue();
    void BuildMenuItems();

    std::array<uint8_t, MKLayout::WorkingSize> working_{};
};

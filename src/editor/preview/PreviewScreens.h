#pragma once
// The device screens of the display previews, drawn into the settings image's
// 320 × 240 preview bitmap (TMK::Preview) in the colours of a scheme, with the texts
// and sample values of the measured parameters. GUI-free: the editor's paint boxes
// copy the bitmap, the command line saves it.
//
//   Previews::Draw(mk, Previews::TScreen::X9, scheme, Previews::StoredFields(mk, TScreen::X9, 0));
//   painter.drawImage(0, 0, mk.Preview);

#include <array>
#include <cstdint>
#include <span>
#include <vector>

class TMK;

namespace Previews {

enum class TScreen : uint8_t {
    Single,       // one parameter on the whole screen: 1 code
    SinglePanel,  // speed above a bottom panel of four small fields: the 4 bottom codes
    X4,           // 2 × 2 fields: 4 codes
    X6,           // one large field and five small: 6 codes
    X9,           // 3 × 3 fields: 9 codes
    ColourSample, // the seven-field colour sample: 7 codes
    MenuSample,   // the device menu in the menu colours: no codes
};

// Colour elements of a scheme, in the order of their index bytes.
enum TElement : int {
    Colour1,        // titles
    Background1,    // title bands
    Colour2,        // values
    Background2,    // value areas
    Frame,          // separator lines
    MenuActive,     // active menu item
    MenuActiveBack, // its background
    MenuHotNumber,  // numbers of the menu items
    BottomPanel,
    ElementCount = 12,
};

// Palette entry 0 … 15 of scheme 0 (day) or 1 (night). Raises RangeError otherwise.
uint16_t PaletteColour(const TMK &mk, int scheme, int entry);
// The colour an element selects. A stored palette index above 15 raises RangeError;
// the stored value stays as it is.
uint16_t ElementColour(const TMK &mk, int scheme, int element);

// How many parameter codes Draw takes for the screen.
int FieldCount(TScreen screen);

// Draws the screen into mk.Preview. Codes name the parameters of the fields in field
// order (looked up in mk.Parameters, PrepareData called first); a code without a
// parameter leaves its field empty. Raises RangeError for a bad scheme or element
// index, and Error when the number of codes does not suit the screen; the bitmap may
// then be drawn in part.
void Draw(TMK &mk, TScreen screen, int scheme, std::span<const uint8_t> codes = {});

// The single screen of the colour page: with the bottom panel (55, 56, 10, 7) when
// the device has one, otherwise the plain screen of the speed.
void DrawColourPageSingle(TMK &mk, int scheme, bool hasBottomPanel);

// Parameters of the colour page's samples.
inline constexpr std::array<uint8_t, 4> X4Sample = {12, 13, 16, 17};
inline constexpr std::array<uint8_t, 9> X9Sample = {12, 13, 16, 17, 1, 4, 11, 10, 7};
inline constexpr std::array<uint8_t, 6> X6Sample = {12, 13, 16, 17, 11, 10};
inline constexpr std::array<uint8_t, 7> SevenSample = {12, 13, 16, 17, 11, 10, 7};
inline constexpr std::array<uint8_t, 4> PanelSample = {55, 56, 10, 7};
inline constexpr uint8_t SingleSample = 12;

// Where the display section keeps field `field` of stored screen `index` (x4: 0 … 5,
// x6: 0 … 1, x9: 0 … 2; the single screen's bottom panel: 0): a working-field name
// and element index for TMK::Get and TMK::Set. Raises Error for other screens.
struct TFieldAddress {
    const char *name;
    int index;
};
TFieldAddress StoredField(TScreen screen, int index, int field);
int StoredScreenCount(TScreen screen);
// The codes of a stored screen, in field order.
std::vector<uint8_t> StoredFields(const TMK &mk, TScreen screen, int index);

// The field under a right-click at (x, y) on a paint box of width × height showing
// the screen; -1 when the click addresses no field (the upper part of a single
// screen, or outside the box).
int FieldAt(TScreen screen, int width, int height, int x, int y);
// The parameters the single screen's bottom fields offer, in menu order.
std::span<const uint8_t> SingleScreenMenuCodes(bool hasTrim);

} // namespace Previews

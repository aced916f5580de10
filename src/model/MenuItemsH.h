#pragma once
// The device's menu items: the number the device uses for each, a fixed name the
// program refers to it by, and a caption in the interface language. The hot menu
// pages of the settings image store these numbers, so the numbering must match the
// device's exactly, including the numbers that absent items keep reserved.

#include <QString>
#include <cstdint>
#include <memory>
#include <vector>

struct TDeviceCaps;

struct TMKMenuItem {
    QString Caption;     // in the interface language at build time
    QString Name;        // e.g. "FullTankMenu"
    uint16_t Number = 0; // 1 and up; 0 never names an item
    uint8_t Group = 0;   // 0 general, 1 trip and journal, 2 parking radar
};

using TMKMenuItemList = std::vector<std::unique_ptr<TMKMenuItem>>;

enum TMenuGroup : uint8_t { GeneralGroup = 0, TripGroup = 1, ParkingGroup = 2 };

// The one global item list.
TMKMenuItemList &MenuItems();

// Rebuilds the global list for the catalogue's current flags and the current language.
void BuildMenuItems();
// The items for the given flags and the current language.
TMKMenuItemList MakeMenuItems(const TDeviceCaps &caps);

// The first item of the global list with exactly that name, or nullptr.
const TMKMenuItem *FindMenuItemByName(const QString &name);
// The first item of the global list with that number, or nullptr (always for 0).
const TMKMenuItem *FindMenuItemByNumber(uint16_t number);

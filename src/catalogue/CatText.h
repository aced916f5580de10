#pragma once
// Texts of the compiled-in tables (catalogue, parameters, menu items). A table row
// writes the English text first, as the tables are read; a text that is the same
// in both languages is written once.

#include "base/Lang.h"

#include <QString>

struct TCatText {
    const char *ru = "";
    const char *en = "";

    constexpr TCatText() = default;
    constexpr TCatText(const char *both) : ru(both), en(both) {} // NOLINT: implicit on purpose
    constexpr TCatText(TBiText pair) : ru(pair.ru), en(pair.en) {}

    QString text() const { return text(Lang::English()); }
    QString text(bool english) const { return QString::fromUtf8(english ? en : ru); }
    constexpr TBiText bi() const { return {ru, en}; }
};

constexpr TCatText EnRu(const char *en, const char *ru) {
    return TCatText(TBiText{ru, en});
}

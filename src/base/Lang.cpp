#include "base/Lang.h"

namespace {
bool g_english = false;
}

bool Lang::English() { return g_english; }
void Lang::SetEnglish(bool english) { g_english = english; }

QString TBiText::text() const { return text(Lang::English()); }
QString TBiText::text(bool english) const { return QString::fromUtf8(english ? en : ru); }

QString Bi(const char *ru, const char *en) { return QString::fromUtf8(Lang::English() ? en : ru); }

TLangScope::TLangScope(bool english) : saved_(Lang::English()) { Lang::SetEnglish(english); }
TLangScope::~TLangScope() { Lang::SetEnglish(saved_); }

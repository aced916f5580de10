#pragma once
// The program-wide interface language and bilingual texts.
//
// A text that exists in both languages is a pair of UTF-8 literals; the side is
// picked from the flag at the moment a window, list or table is built.

#include <QString>

namespace Lang {

bool English();
void SetEnglish(bool english);

} // namespace Lang

struct TBiText {
    const char *ru;
    const char *en;

    QString text() const;
    QString text(bool english) const;
};

// Picks one side of a pair by the current language flag.
QString Bi(const char *ru, const char *en);

// Restores the language flag when it goes out of scope (tests and temporary builds).
class TLangScope {
public:
    explicit TLangScope(bool english);
    ~TLangScope();
    TLangScope(const TLangScope &) = delete;
    TLangScope &operator=(const TLangScope &) = delete;

private:
    bool saved_;
};

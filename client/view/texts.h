#pragma once

#include <QString>

namespace vorlan {

// The two languages of the windows' texts.
enum class Language
{
    English,
    Russian,
};

inline Language languageOf(bool rus)
{
    return rus ? Language::Russian : Language::English;
}

// One text in both languages, side by side (UTF-8); gives the one in force.
inline QString tr2(Language lang, const char* english, const char* russian)
{
    return QString::fromUtf8(lang == Language::Russian ? russian : english);
}

} // namespace vorlan

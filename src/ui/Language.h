#pragma once

#include <QString>

#include <optional>
#include <string>
#include <vector>

class QLocale;

// The languages the window speaks. Russian is the source language: its texts
// are written in the code and the forms; English comes from the translation.
enum class Language { Russian, English };

// The language for a locale: Russian for a Russian one and for C (no locale
// set, as on a default install), English for every other.
Language LanguageOfLocale(const QLocale& locale);

// Takes "--lang ru|en" (or "--lang=ru|en") out of the program's arguments.
// Raises toolkit::Exception for another language or a missing one.
std::optional<Language> TakeLanguageArgument(std::vector<std::string>& arguments);

// "ru" or "en", as translation files and the --lang option name them.
QString LanguageCode(Language language);
// The language of such a code, if it is one.
std::optional<Language> LanguageOfCode(const QString& code);

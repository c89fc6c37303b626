#include "ui/Language.h"

#include "toolkit/Exception.h"

#include <QCoreApplication>
#include <QLocale>

#include <iterator>

namespace {

const std::string kOption = "--lang";

Language LanguageNamed(const std::string& code)
{
    if (const std::optional<Language> language = LanguageOfCode(QString::fromStdString(code)))
        return *language;
    throw toolkit::Exception(QCoreApplication::translate("Language", "--lang: нужно ru или en, а не '%1'")
                                 .arg(QString::fromStdString(code))
                                 .toStdString());
}

} // namespace

Language LanguageOfLocale(const QLocale& locale)
{
    const QLocale::Language language = locale.language();
    return language == QLocale::Russian || language == QLocale::C ? Language::Russian : Language::English;
}

std::optional<Language> TakeLanguageArgument(std::vector<std::string>& arguments)
{
    std::optional<Language> chosen;
    for (auto at = arguments.begin(); at != arguments.end();) {
        if (at->starts_with(kOption + '=')) {
            chosen = LanguageNamed(at->substr(kOption.size() + 1));
            at = arguments.erase(at);
        } else if (*at == kOption) {
            const bool named = std::next(at) != arguments.end();
            chosen = LanguageNamed(named ? *std::next(at) : std::string());
            at = arguments.erase(at, std::next(at, named ? 2 : 1));
        } else {
            ++at;
        }
    }
    return chosen;
}

QString LanguageCode(Language language)
{
    return language == Language::English ? QStringLiteral("en") : QStringLiteral("ru");
}

std::optional<Language> LanguageOfCode(const QString& code)
{
    for (Language language : {Language::Russian, Language::English})
        if (code == LanguageCode(language))
            return language;
    return std::nullopt;
}

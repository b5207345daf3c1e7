#include "plain/Language.h"

#include <cstdlib>
#include <optional>
#include <string_view>

namespace dw {

namespace {

bool IsSet(const char* value)
{
    return value && *value;
}

// "de_AT.UTF-8@euro" -> "de".
std::string_view LanguageCode(std::string_view locale)
{
    return locale.substr(0, locale.find_first_of("_.@"));
}

std::optional<Language> Known(std::string_view locale)
{
    const std::string_view code = LanguageCode(locale);
    if (code == "de")
        return Language::German;
    if (code == "en")
        return Language::English;
    return std::nullopt;
}

} // namespace

Language LanguageFor(const char* language, const char* lcAll, const char* lcMessages, const char* lang)
{
    const char* chosen = IsSet(lcAll) ? lcAll : IsSet(lcMessages) ? lcMessages : lang;
    if (!IsSet(chosen))
        return Language::German;
    const std::string_view locale(chosen);
    if (LanguageCode(locale) == "C" || locale == "POSIX")
        return Language::German;
    if (IsSet(language)) {
        std::string_view rest(language);
        while (!rest.empty()) {
            const std::size_t colon = rest.find(':');
            if (const std::optional<Language> known = Known(rest.substr(0, colon)))
                return *known;
            rest = colon == std::string_view::npos ? std::string_view() : rest.substr(colon + 1);
        }
    }
    return Known(locale).value_or(Language::English);
}

Language CurrentLanguage()
{
    static const Language current = LanguageFor(std::getenv("LANGUAGE"), std::getenv("LC_ALL"),
                                                std::getenv("LC_MESSAGES"), std::getenv("LANG"));
    return current;
}

} // namespace dw

#pragma once

namespace dw {

// The language of the user interface. German is the language the texts are
// written in; English is the translation.
enum class Language
{
    German,
    English
};

// The language for these locale variables (null or empty where unset), read in
// gettext's order: the locale of messages is the first set of LC_ALL,
// LC_MESSAGES and LANG; under none, C or POSIX the program speaks German, as
// gettext ignores LANGUAGE there. Otherwise the first of LANGUAGE's entries
// that names German or English decides, then the locale's own language:
// German for German, English for every other.
Language LanguageFor(const char* language, const char* lcAll, const char* lcMessages, const char* lang);

// The language for this process's environment, read once.
Language CurrentLanguage();

} // namespace dw

#pragma once

#include <cstddef>
#include <initializer_list>
#include <string>
#include <string_view>

// The texts of the programs without Qt in the user's language. The German text
// is the source; its English comes from a table the build generates from
// translations/datumswecker_en.ts, the file Qt's programs load their
// translations from. lupdate finds dw::Tr as it finds QCoreApplication::translate.
namespace dw {

// The text in the current language: the source itself under German, its
// English otherwise (the source where the table has none).
const char* Tr(const char* context, const char* source);

// Marks a text for translation where it is defined, away from where it is
// used; lupdate reads it as QT_TRANSLATE_NOOP. Tr translates it at its use.
constexpr const char* TrNoop(const char* /*context*/, const char* source)
{
    return source;
}

// The English of a source text, or null where the table has none.
const char* English(const char* context, const char* source);

// The text with %1, %2, ... replaced by the arguments, as QString::arg does.
std::string Arg(std::string_view text, std::initializer_list<std::string_view> args);

// One translated text of the generated table. Only contexts that begin with
// "plain::" are in it: those are the ones the programs without Qt use.
struct TextEntry
{
    const char* context;
    const char* source;
    const char* english;
};
// Sorted by context, then source, byte by byte.
extern const TextEntry TextTable[];
extern const std::size_t TextTableSize;

} // namespace dw

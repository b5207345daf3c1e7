#include "plain/Translate.h"

#include "plain/Language.h"

#include <algorithm>
#include <cstring>

namespace dw {

const char* English(const char* context, const char* source)
{
    const auto before = [](const TextEntry& entry, const std::pair<const char*, const char*>& key) {
        const int byContext = std::strcmp(entry.context, key.first);
        return byContext != 0 ? byContext < 0 : std::strcmp(entry.source, key.second) < 0;
    };
    const TextEntry* end = TextTable + TextTableSize;
    const TextEntry* found = std::lower_bound(TextTable, end, std::pair{context, source}, before);
    if (found == end || std::strcmp(found->context, context) != 0 || std::strcmp(found->source, source) != 0)
        return nullptr;
    return found->english;
}

const char* Tr(const char* context, const char* source)
{
    if (CurrentLanguage() == Language::German)
        return source;
    const char* english = English(context, source);
    return english ? english : source;
}

std::string Arg(std::string_view text, std::initializer_list<std::string_view> args)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char next = i + 1 < text.size() ? text[i + 1] : '\0';
        const std::size_t n = static_cast<std::size_t>(next - '1');
        if (text[i] == '%' && next >= '1' && next <= '9' && n < args.size()) {
            out += *(args.begin() + n);
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

} // namespace dw

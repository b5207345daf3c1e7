#include "store/Appointment.h"

#include <cstdlib>
#include <cstring>

namespace {

// The byte before a text; NewArenaText marks its texts with 1.
constexpr char OwnBlock = 0;

} // namespace

char* NewText(const QByteArray& text)
{
    const auto size = static_cast<std::size_t>(text.size());
    auto* block = static_cast<char*>(std::malloc(size + 2));
    if (!block)
        return nullptr;
    block[0] = OwnBlock;
    std::memcpy(block + 1, text.constData(), size);
    block[size + 1] = '\0';
    return block + 1;
}

void FreeText(char*& text)
{
    if (text && text[-1] == OwnBlock)
        std::free(text - 1);
    text = nullptr;
}

bool ReplaceText(char*& text, const QByteArray& newText)
{
    char* copy = NewText(newText);
    if (!copy)
        return false;
    FreeText(text);
    text = copy;
    return true;
}

void FreeTexts(Appointment& appointment)
{
    FreeText(appointment.Name);
    FreeText(appointment.Description);
}

#include "store/Appointment.h"

#include <cstdlib>
#include <cstring>

char* NewText(const QByteArray& text)
{
    const auto size = static_cast<std::size_t>(text.size());
    auto* block = static_cast<char*>(std::malloc(size + 1));
    if (!block)
        return nullptr;
    std::memcpy(block, text.constData(), size);
    block[size] = '\0';
    return block;
}

void FreeText(char*& text)
{
    std::free(text);
    text = nullptr;
}

bool ReplaceText(char*& text, const QByteArray& newText)
{
    char* copy = NewText(newText);
    if (!copy)
        return false;
    std::free(text);
    text = copy;
    return true;
}

void FreeTexts(Appointment& appointment)
{
    FreeText(appointment.Name);
    FreeText(appointment.Description);
}

// Owned display-title texts for the catalogue and the show-state commands.
#include "title_text.h"

#include <cstring>
#include <new>

namespace {

// The buffer size used for every scratch title: room for the suffix, its terminator
// and one spare character.
size_t ScratchSize(size_t length)
{
    return length + HIDDEN_SUFFIX_LENGTH + 2;
}

}  // namespace

std::unique_ptr<char[]> CopyText(const char* text)
{
    size_t length = std::strlen(text);
    std::unique_ptr<char[]> copy(new (std::nothrow) char[length + 1]);
    if (copy)
        std::memcpy(copy.get(), text, length + 1);
    return copy;
}

std::unique_ptr<char[]> AppendHiddenSuffix(const char* title)
{
    size_t length = std::strlen(title);
    std::unique_ptr<char[]> text(new (std::nothrow) char[ScratchSize(length)]);
    if (text) {
        std::memcpy(text.get(), title, length);
        std::memcpy(text.get() + length, HIDDEN_SUFFIX, HIDDEN_SUFFIX_LENGTH + 1);
    }
    return text;
}

std::unique_ptr<char[]> RemoveHiddenSuffix(const char* title)
{
    size_t length = std::strlen(title);
    std::unique_ptr<char[]> text(new (std::nothrow) char[ScratchSize(length)]);
    if (text) {
        std::memcpy(text.get(), title, length + 1);
        // Never write before the start, even if the title somehow lost its suffix.
        if (length >= HIDDEN_SUFFIX_LENGTH)
            text[length - HIDDEN_SUFFIX_LENGTH] = '\0';
    }
    return text;
}

size_t CompleteUtf8Length(const char* text, size_t length)
{
    // Walk back over at most three continuation bytes to the lead byte of the last
    // character, then keep it only if all of its bytes are there.
    size_t start = length;
    int continuations = 0;
    while (start > 0 && continuations < 3) {
        unsigned char c = static_cast<unsigned char>(text[start - 1]);
        if ((c & 0xC0) != 0x80)
            break;
        --start;
        ++continuations;
    }
    if (start == 0)
        return continuations == 0 ? length : 0;
    unsigned char lead = static_cast<unsigned char>(text[start - 1]);
    size_t needed;
    if (lead < 0x80)
        needed = 1;
    else if ((lead & 0xE0) == 0xC0)
        needed = 2;
    else if ((lead & 0xF0) == 0xE0)
        needed = 3;
    else if ((lead & 0xF8) == 0xF0)
        needed = 4;
    else
        return length;  // not UTF-8 at all: leave it as it is
    size_t have = length - (start - 1);
    if (needed == 1)
        return length;  // an ASCII character followed by stray continuation bytes: keep
    return have >= needed ? length : start - 1;
}

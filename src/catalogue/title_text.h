// Display titles: the hidden-window suffix, added and removed, and owned copies.
// Pure text work, tested natively. Every builder returns null when memory is short.
#pragma once
#include <cstddef>
#include <memory>

// 15 spaces, then "(HIDDEN)": the spaces are the only separator from the title.
constexpr char HIDDEN_SUFFIX[] = "               (HIDDEN)";
constexpr size_t HIDDEN_SUFFIX_LENGTH = sizeof(HIDDEN_SUFFIX) - 1;

std::unique_ptr<char[]> CopyText(const char* text);

// The title followed by HIDDEN_SUFFIX, in a buffer of length + 25 characters.
std::unique_ptr<char[]> AppendHiddenSuffix(const char* title);

// The title without its last HIDDEN_SUFFIX_LENGTH characters. A title shorter than
// that cannot carry the suffix and is copied whole.
std::unique_ptr<char[]> RemoveHiddenSuffix(const char* title);

// Length of the longest prefix of text[0, length) that does not end inside a UTF-8
// sequence: a title read into a fixed buffer may be cut in the middle of a character.
size_t CompleteUtf8Length(const char* text, size_t length);

// The text operations of the commands and the knobs. Texts are byte strings in
// the platform's code page; every operation returns a new text and leaves its
// input unchanged. Equality and joining are std::string's own == and +.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The text without leading and trailing blanks (0x20 only; tabs stay).
std::string TrimSpaces(std::string_view text);

// The extension of a path's last component: the text after the last full stop,
// up to a double quote or the end, or "" when a '/' or '\' comes first or there
// is no full stop.
std::string ExtensionPart(std::string_view path);

// The first n characters (all of a shorter text; n < 0 counts as 0).
std::string TextLeft(std::string_view text, std::int32_t n);

// The value in plain decimal: a minus sign for negatives, no leading zeros.
std::string DecimalText(std::int32_t value);

// Copies the text into a fixed field of n bytes: at most n bytes, the rest
// zero; a text of n or more characters fills the field with no terminator.
void FixedTextStore(char* field, std::int32_t n, std::string_view text);

// The field's characters up to the first zero byte, at most n.
std::string FixedTextRead(const char* field, std::int32_t n);

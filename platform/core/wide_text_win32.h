// UTF-8 text and the UTF-16 of the Windows wide-character APIs. Inside the
// program every text is UTF-8; it is converted where it meets such an API.
// Windows only; source: wide_text_win32.cpp. Depends on: Kernel32.
#pragma once

#include <string>
#include <string_view>

// The UTF-16 form of UTF-8 `text`; "" for "" and for text that is not UTF-8.
std::wstring WideFromUtf8(std::string_view text);

// The UTF-8 form of UTF-16 `text` (an unpaired surrogate becomes U+FFFD).
std::string Utf8FromWide(std::wstring_view text);

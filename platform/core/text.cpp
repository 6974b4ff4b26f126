// Text operations on byte strings.
#include "platform/core/text.h"

#include <algorithm>
#include <cstring>

std::string TrimSpaces(std::string_view text) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  const auto last = text.find_last_not_of(' ');
  return std::string(text.substr(first, last - first + 1));
}

std::string ExtensionPart(std::string_view path) {
  const auto mark = path.find_last_of("./\\");
  if (mark == std::string_view::npos || path[mark] != '.') return {};
  const std::string_view rest = path.substr(mark + 1);
  return std::string(rest.substr(0, rest.find('"')));
}

std::string TextLeft(std::string_view text, std::int32_t n) {
  const auto count = static_cast<std::size_t>(std::max<std::int32_t>(n, 0));
  return std::string(text.substr(0, std::min(count, text.size())));
}

std::string DecimalText(std::int32_t value) {
  // Widened first so that -2147483648 has a magnitude to print.
  return std::to_string(static_cast<std::int64_t>(value));
}

void FixedTextStore(char* field, std::int32_t n, std::string_view text) {
  if (n <= 0) return;
  const auto size = static_cast<std::size_t>(n);
  const std::size_t count = std::min(text.size(), size);
  std::memcpy(field, text.data(), count);
  std::memset(field + count, 0, size - count);
}

std::string FixedTextRead(const char* field, std::int32_t n) {
  if (n <= 0) return {};
  const auto* end = static_cast<const char*>(std::memchr(field, 0, static_cast<std::size_t>(n)));
  return std::string(field,
                     end ? static_cast<std::size_t>(end - field) : static_cast<std::size_t>(n));
}

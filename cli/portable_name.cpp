// The portable file name rule. Windows keeps its device names in every
// folder and takes "con.wav" for the console; it drops a trailing dot or
// blank, so "zap." and "zap" would be one file; 255 is the longest name
// (in bytes on Linux, UTF-16 units on Windows: never more than the bytes).
#include "cli/portable_name.h"

#include <algorithm>
#include <array>

#include "sound/settings_line.h"

using tonkelwerk::QuotedWord;

namespace {

constexpr std::size_t kLongestName = 255;

constexpr std::array<std::string_view, 4> kDevices{"con", "prn", "aux", "nul"};
constexpr std::array<std::string_view, 2> kNumberedDevices{"com", "lpt"};

// Windows reads the part before the first dot, blanks at its end dropped.
bool IsDeviceName(std::string_view name) {
  std::string stem = CaseFolded(name.substr(0, name.find('.')));
  while (stem.ends_with(' ')) stem.pop_back();
  if (std::find(kDevices.begin(), kDevices.end(), stem) != kDevices.end()) return true;
  const bool numbered = stem.size() == 4 && stem[3] >= '1' && stem[3] <= '9';
  return numbered && std::find(kNumberedDevices.begin(), kNumberedDevices.end(),
                               std::string_view(stem).substr(0, 3)) != kNumberedDevices.end();
}

}  // namespace

std::string ReservedNameProblem(std::string_view name) {
  if (IsDeviceName(name)) return QuotedWord(name) + " is a device on Windows, not a file";
  if (name.size() > kLongestName) {
    return "the file name " + QuotedWord(name) + " is " + std::to_string(name.size()) +
           " bytes long; file systems keep at most " + std::to_string(kLongestName);
  }
  return {};
}

std::string PortableNameProblem(std::string_view name) {
  if (name.ends_with('.')) return QuotedWord(name) + " ends in a dot, which Windows drops";
  if (name.ends_with(' ')) return QuotedWord(name) + " ends in a blank, which Windows drops";
  return ReservedNameProblem(name);
}

std::string NamedFile(std::string_view name, std::string_view extension) {
  const std::string suffix = std::string(1, '.').append(extension);
  if (name.size() > suffix.size() && CaseFolded(name).ends_with(CaseFolded(suffix)))
    return std::string(name);
  return std::string(name) + suffix;
}

std::string CaseFolded(std::string_view name) {
  std::string folded(name);
  for (char& c : folded) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return folded;
}

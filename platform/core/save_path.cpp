// The save path rule: the extension rule and the check for a file name.
#include "platform/core/save_path.h"

#include "platform/core/text.h"

bool PathHasFileName(std::string_view path) {
  return !path.empty() && kFolderSeparators.find(path.back()) == std::string_view::npos;
}

std::string SavePathWithExtension(std::string_view chosen, std::string_view extension) {
  if (!TrimSpaces(ExtensionPart(chosen)).empty()) return std::string(chosen);
  const std::string trimmed = TrimSpaces(chosen);
  if (!PathHasFileName(trimmed)) return trimmed;
  return trimmed + "." + std::string(extension);
}

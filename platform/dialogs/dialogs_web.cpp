// Message boxes, the save dialog and the working directory in a web page.
//
// Implements: the message box as a modal <dialog> with the title, the text
// and one OK button (Escape closes it too), error boxes also on the
// browser's console; the save dialog as a modal
// <dialog> asking for a file name, with the display name of the chosen
// pattern shown as the type and "tonkelwerk.wav" offered when the program
// offers no name; the page takes the typed name's last part only (folders
// mean nothing in the browser's downloads) and refuses a name of blanks
// with the reason; the name comes back as a path in the page's
// in-memory downloads folder, and the event poll hands the file written
// there to the browser as a download; that folder is the working directory.
// While a box is open the page's own buttons take no input (the <dialog> is modal) and
// the program waits in the box without blocking the page (ASYNCIFY).
// Leaves out: the icons of the box styles (the style is kept as a class
// name for the page's style sheet), other button sets, the open-file
// dialog, folders in the chosen name.
// Depends on: tonkelwerk_web.js through platform/web/web_shared.h.
#include <cstdio>
#include <string>

#include "platform/dialogs/dialogs.h"
#include "platform/web/web_shared.h"

namespace {

// Part `index` of a '|'-separated text, "" when there is none.
std::string PatternPart(std::string_view pattern, std::int32_t index) {
  for (; index > 0; --index) {
    const std::size_t bar = pattern.find('|');
    if (bar == std::string_view::npos) return "";
    pattern.remove_prefix(bar + 1);
  }
  return std::string(pattern.substr(0, pattern.find('|')));
}

// The longest name the dialog hands back, in bytes.
constexpr int kNameSize = 1024;

constexpr std::string_view kOfferedName = "tonkelwerk.wav";

}  // namespace

std::int32_t MessageBoxShow(std::string_view title, std::string_view text, std::uint32_t style) {
  // The browser's console stands for the standard error stream.
  if (style == kBoxError) {
    const std::string line = std::string(title) + ": " + std::string(text) + "\n";
    std::fputs(line.c_str(), stderr);
  }
  return tw_message_box(std::string(title).c_str(), std::string(text).c_str(), style);
}

std::string SaveDialogRun(std::string_view title, std::string_view initialPath,
                          std::string_view pattern, std::int32_t patternIndex) {
  const std::size_t slash = initialPath.find_last_of('/');
  std::string offered(slash == std::string_view::npos ? initialPath
                                                      : initialPath.substr(slash + 1));
  if (offered.empty()) offered = kOfferedName;
  std::string name(kNameSize, '\0');
  const int length =
      tw_save_dialog(std::string(title).c_str(), PatternPart(pattern, 2 * patternIndex).c_str(),
                     offered.c_str(), name.data(), kNameSize);
  if (length <= 0) return "";
  name.resize(static_cast<std::size_t>(length));
  WebDownloadPending();
  return kWebDownloadsFolder + name;
}

std::string WorkingDirectory() {
  return kWebDownloadsFolder;
}

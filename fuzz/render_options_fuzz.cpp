// Fuzz target: tonkelwerk-render's command line, the input split into
// arguments at NUL and newline bytes. Any arguments must be read without a
// fault, and a command line that is accepted for a render has something to do
// with knobs in range.
// Leaves out: what each option means (tests/cli/test_render_cli.py).
// Depends on: the renderer's option parser.
#include <algorithm>
#include <vector>

#include "cli/render_options.h"
#include "fuzz/fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view text = FuzzText(data, size);
  std::vector<std::string_view> args;
  while (!text.empty()) {
    const std::size_t end = std::min(text.find('\0'), text.find('\n'));
    args.push_back(text.substr(0, end));
    text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
  }
  const ParsedCommandLine parsed = ParseRenderArgs(args);
  if (!parsed.error.empty() || parsed.action != RenderAction::kRender) return 0;
  const RenderOptions& options = parsed.options;
  CheckKnobsInRange(options.knobs);
  FuzzCheck(options.output || options.play || options.batch,
            "an accepted render neither writes nor plays");
  FuzzCheck(!options.batch || options.outDir, "an accepted batch has no --out-dir");
  return 0;
}

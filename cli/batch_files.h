// Writing many files all or nothing: every sound is rendered and written to
// a temporary file beside its target, synced, on several threads; only when
// all of them are complete do they take their names, one after the other in
// job order. A failure before that removes every temporary file; a failure
// while placing (a name that turned up meanwhile) also removes the files this
// run placed, so that nothing new remains. An interrupt stops the work the
// same way but keeps the files already placed, and the message names them.
// Memory stays bounded: the sounds wait on the disk, not in memory.
// Leaves out: bringing back the files that Placement::kReplace replaced
// before a later placement failed (only a failure of the system can cause
// that).
// Depends on: render_jobs (the pipeline), the file layer's staged
// replacements (files.h) and interrupts.h.
#pragma once

#include <string>
#include <vector>

#include "cli/output_format.h"
#include "cli/render_jobs.h"
#include "platform/core/files.h"

struct FilesOutcome {
  RenderTotals totals;  // error: what went wrong, and what became of the files
  int interrupted = 0;  // the exit status of an interrupt (interrupts.h), else 0
};

// Renders the jobs (each with a file target) in `format` and puts the files
// in place as `placement` says, all or nothing.
FilesOutcome DeliverFiles(const std::vector<SoundJob>& jobs, const OutputFormat& format,
                          Placement placement);

// The user's words for a file that could not be written, and why.
std::string WriteFailureText(const std::string& target, const std::string& reason);

// The user's words for a file that is kept because it exists.
std::string ExistsText(const std::string& target);

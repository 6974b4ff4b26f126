// The undo history of the knobs: each change of the knobs is one step, kept
// with the seed of the settings line that went with it, so that going back to
// a step plays and saves the very sound heard then.
// Leaves out: what makes a change one step (app_edit.cpp decides) and setting
// the knobs (the caller applies the step it gets back).
// Depends on: the engine's KnobAngles.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>

#include "sound/sound_engine.h"

// The knobs of one step and the seed that Preview and Save wave used with
// them, where one was kept (a preset, a paste, a copy); none lets the noise
// go on.
struct KnobStep {
  tonkelwerk::KnobAngles knobs;
  std::optional<std::uint32_t> seed;

  bool operator==(const KnobStep&) const = default;
};

// A bounded list of steps with a current one: undo and redo move along it;
// a new step drops the steps ahead and, past kUndoSteps, the oldest.
class KnobHistory {
 public:
  // Steps that can be undone one after another.
  static constexpr std::size_t kUndoSteps = 128;

  // The history of a program just started: one step, every knob at 0.
  KnobHistory() : steps_(1) {}

  const KnobStep& Current() const { return steps_[current_]; }
  bool CanUndo() const { return current_ > 0; }
  bool CanRedo() const { return current_ + 1 < steps_.size(); }

  // Makes `step` the current one, after the current one.
  void Record(const KnobStep& step);

  // Puts `step` in the current one's place: a change that belongs to it.
  void ReplaceCurrent(const KnobStep& step) { steps_[current_] = step; }

  // The step before (after) the current one, which becomes current.
  // Require CanUndo (CanRedo).
  const KnobStep& Undo() { return steps_[--current_]; }
  const KnobStep& Redo() { return steps_[++current_]; }

 private:
  std::deque<KnobStep> steps_;
  std::size_t current_ = 0;
};

// Editing the sound in the window: the presets, Random and Mutate, undo and
// redo, the mouse wheel over a knob, and the context menu and keys that reach
// them. The same on every backend: the window service delivers the menu's
// entries and the keys as command events, the wheel as wheel events.
// Depends on: the engine's presets, the knob history (app_history.h), the
// commands (app_commands.h) and the window service.
#pragma once

#include <cstdint>

// The commands of the menu and the keys (EventCommandId). The presets follow
// each other in the order of Presets(), the last one being "random".
inline constexpr std::int32_t kCommandFirstPreset = 1;
inline constexpr std::int32_t kCommandMutate = 20;
inline constexpr std::int32_t kCommandUndo = 21;
inline constexpr std::int32_t kCommandRedo = 22;
inline constexpr std::int32_t kCommandCopy = 23;
inline constexpr std::int32_t kCommandPaste = 24;

// Gives the window its command keys: 1 to 7 the presets, R Random, M Mutate,
// Ctrl+Z undo, Ctrl+Shift+Z and Ctrl+Y redo.
void EditKeysSet();

// Runs the command of a menu entry or key; an unknown one does nothing.
void RunEditCommand(std::int32_t command);

// Opens the context menu at the cursor when it lies over the knobs (or, for
// the keyboard's menu key, with the cursor outside the window, in the
// knobs' middle).
void OpenEditMenu();

// Turns the knob under the cursor by its step per notch (with Shift ten
// steps), kept in 0..360; `wordParam` is the wheel event's.
void TurnKnobByWheel(std::uint32_t wordParam);

// Makes the knobs as they stand now the history's current step: a new step
// when they moved, the current one with the seed kept since. Runs after
// every event outside a drag, so that a drag is one step from press to
// release.
void NoteKnobs();

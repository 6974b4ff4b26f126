// The types of the npm package tonkelwerk (index.js): Tonkelwerk's sound
// engine in WebAssembly. Leaves out: nothing of index.js. Depends on: nothing.

/** Knob positions in whole degrees, 0..360, in the order of the window. */
export interface Knobs {
  start: number;
  end: number;
  freq: number;
  rustle: number;
  cutter: number;
  len: number;
}

/**
 * A sound to render: knobs left out stand at 0 (freq and len must be above 0
 * to make a sound); the seed (0..4294967295, default 0) chooses its noise.
 */
export interface Sound extends Partial<Knobs> {
  seed?: number | null;
}

/** A sound as a settings line has it, with an optional name. */
export interface Settings extends Sound {
  name?: string | null;
}

/** What parseSettingsLine reads: null where the line gives no name or seed. */
export interface ParsedSettings {
  name: string | null;
  knobs: Knobs;
  seed: number | null;
}

/**
 * What the engine refused. `status` is tonkelwerk.h's tonkelwerk_status:
 * 2 a knob angle outside 0..360, 3 Freq or Len. at 0, 5 a settings line that
 * cannot be read, 6 a name that cannot be a file name, 7 no such preset.
 * Arguments of the wrong type throw a TypeError instead, a seed outside
 * 0..4294967295 a RangeError.
 */
export class TonkelwerkError extends Error {
  readonly name: 'TonkelwerkError';
  readonly status: number;
}

/** The WAV file of a sound: the bytes tonkelwerk-render writes for the same knobs and seed. */
export function render(sound: Sound): Promise<Uint8Array>;

/** The 16-bit samples of a sound at 44,100 frames per second, left and right interleaved. */
export function samples(sound: Sound): Promise<Int16Array>;

/** Reads a settings line, such as 'laser: freq=120 len=40 seed=7'. */
export function parseSettingsLine(line: string): Promise<ParsedSettings>;

/** The settings line of a sound, such as 'laser: start=0 end=0 freq=120 ... seed=7'. */
export function settingsLine(settings: Settings): Promise<string>;

/** The knobs that preset `name` draws for `seed` (default 0): render them with the same seed. */
export function preset(name: string, seed?: number): Promise<Knobs>;

/** The presets' names, such as 'pickup' and 'laser'. */
export function presets(): Promise<string[]>;

/** The engine's interface version, such as '2.0.0'. */
export function version(): Promise<string>;

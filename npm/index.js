// Tonkelwerk's sound engine for JavaScript: the engine's C interface
// (tonkelwerk.h) built into tonkelwerk.wasm, called from this ES module in
// Node 18+ and in browsers (directly or through a bundler).
// Leaves out: playing the sounds (Web Audio or a Node player does that), the
// caller-owned noise state and the mutation of tonkelwerk.h.
// Depends on: tonkelwerk.wasm beside this file; in Node, fs/promises.

// The fields of tonkelwerk_knobs, in its order: six 32-bit angles.
const KNOB_NAMES = ['start', 'end', 'freq', 'rustle', 'cutter', 'len'];
const KNOBS_SIZE = 4 * KNOB_NAMES.length;
// tonkelwerk_settings in wasm32: the knobs, has_seed, seed, name, name_length.
const SETTINGS_SIZE = KNOBS_SIZE + 16;
const ERROR_CAPACITY = 256;
const STATUS_OK = 0;
const STATUS_LINE = 5;
const STATUS_CAPACITY = 4;

/** What the engine refused, with its status code (tonkelwerk.h's tonkelwerk_status). */
export class TonkelwerkError extends Error {
  constructor(status, message) {
    super(message);
    this.name = 'TonkelwerkError';
    this.status = status;
  }
}

let loading;

// The engine's exports, instantiated once on first use; a failed load is
// tried again on the next call.
function engine() {
  loading ??= instantiate().catch((error) => {
    loading = undefined;
    throw error;
  });
  return loading;
}

async function instantiate() {
  const url = new URL('./tonkelwerk.wasm', import.meta.url);
  const imports = {
    // Views of the memory are made afresh after every allocation.
    env: { emscripten_notify_memory_growth() {} },
    wasi_snapshot_preview1: {
      proc_exit(code) {
        throw new Error(`tonkelwerk: the engine stopped (code ${code})`);
      },
    },
  };
  const { instance } = url.protocol === 'file:'
    ? await WebAssembly.instantiate(await readFile(url), imports)
    : await instantiateFetched(url, imports);
  instance.exports._initialize();
  return instance.exports;
}

async function readFile(url) {
  // A dynamic import that bundlers leave alone: browsers never reach it.
  const fs = await import(/* webpackIgnore: true */ /* @vite-ignore */ 'node:fs/promises');
  return fs.readFile(url);
}

async function instantiateFetched(url, imports) {
  const response = await fetch(url);
  if (!response.ok) throw new Error(`tonkelwerk: cannot load ${url}: HTTP ${response.status}`);
  if (WebAssembly.instantiateStreaming) {
    try {
      return await WebAssembly.instantiateStreaming(response.clone(), imports);
    } catch {
      // Served without the type application/wasm: compiled from the bytes.
    }
  }
  return WebAssembly.instantiate(await response.arrayBuffer(), imports);
}

// Runs use(address) with `size` bytes of the engine's memory.
function withMemory(wasm, size, use) {
  const address = wasm.malloc(Math.max(size, 1));
  if (!address) throw new Error('tonkelwerk: the engine is out of memory');
  try {
    return use(address);
  } finally {
    wasm.free(address);
  }
}

function cString(wasm, address) {
  const bytes = new Uint8Array(wasm.memory.buffer, address);
  return new TextDecoder().decode(bytes.subarray(0, bytes.indexOf(0)));
}

function check(wasm, status) {
  if (status !== STATUS_OK) {
    throw new TonkelwerkError(status, cString(wasm, wasm.tonkelwerk_status_text(status)));
  }
}

const given = (value) => value !== undefined && value !== null;
const shown = (value) => (typeof value === 'string' ? JSON.stringify(value) : String(value));

// A knob's angle as given: a whole number; out of range it stays out of range
// for the engine to refuse, kept within 32 bits so that it cannot wrap.
function angleOf(name, value) {
  if (!given(value)) return 0;
  if (!Number.isInteger(value)) {
    throw new TypeError(`tonkelwerk: knob '${name}' must be a whole number of degrees, not ${shown(value)}`);
  }
  return Math.min(Math.max(value, -(2 ** 31)), 2 ** 31 - 1);
}

function seedOf(value) {
  if (!given(value)) return undefined;
  if (!Number.isInteger(value)) {
    throw new TypeError(`tonkelwerk: the seed must be a whole number, not ${shown(value)}`);
  }
  if (value < 0 || value > 0xffffffff) {
    throw new RangeError(`tonkelwerk: the seed must lie in 0..4294967295, not ${value}`);
  }
  return value;
}

// The knobs and seed of a sound object; `extra` names the other fields it may have.
function soundOf(sound, extra = []) {
  if (typeof sound !== 'object' || sound === null) {
    throw new TypeError('tonkelwerk: a sound is an object of knob angles, e.g. { freq: 120, len: 40 }');
  }
  for (const field of Object.keys(sound)) {
    if (!KNOB_NAMES.includes(field) && field !== 'seed' && !extra.includes(field)) {
      throw new TypeError(`tonkelwerk: '${field}' is not a knob; the knobs are ${KNOB_NAMES.join(', ')}`);
    }
  }
  return { angles: KNOB_NAMES.map((name) => angleOf(name, sound[name])), seed: seedOf(sound.seed) };
}

function writeKnobs(wasm, address, angles) {
  new Int32Array(wasm.memory.buffer, address, KNOB_NAMES.length).set(angles);
}

function readKnobs(wasm, address) {
  const angles = new Int32Array(wasm.memory.buffer, address, KNOB_NAMES.length);
  return Object.fromEntries(KNOB_NAMES.map((name, i) => [name, angles[i]]));
}

// Renders `sound` with one of the engine's render functions into a fresh
// array of the length that `sizeFunction` gives.
function renderSound(wasm, sound, sizeFunction, renderFunction, ArrayType) {
  const { angles, seed = 0 } = soundOf(sound);
  return withMemory(wasm, KNOBS_SIZE, (knobs) => {
    writeKnobs(wasm, knobs, angles);
    // 0 for knobs the engine refuses: the render then says why.
    const count = sizeFunction(knobs);
    return withMemory(wasm, count * ArrayType.BYTES_PER_ELEMENT, (out) => {
      check(wasm, renderFunction(knobs, seed, out, count, 0));
      // Copied into a new array with set(), which V8 does far faster than slice().
      const result = new ArrayType(count);
      result.set(new ArrayType(wasm.memory.buffer, out, count));
      return result;
    });
  });
}

/** The WAV file of a sound: the bytes tonkelwerk-render writes for the same knobs and seed. */
export async function render(sound) {
  const wasm = await engine();
  return renderSound(wasm, sound, wasm.tonkelwerk_wav_size, wasm.tonkelwerk_render_wav, Uint8Array);
}

/** The 16-bit samples of a sound, left and right interleaved. */
export async function samples(sound) {
  const wasm = await engine();
  return renderSound(wasm, sound, wasm.tonkelwerk_sample_count, wasm.tonkelwerk_render_samples,
    Int16Array);
}

/** Reads a settings line, such as 'laser: freq=120 len=40 seed=7'. */
export async function parseSettingsLine(line) {
  if (typeof line !== 'string') throw new TypeError('tonkelwerk: a settings line is a string');
  const wasm = await engine();
  const text = new TextEncoder().encode(line);
  const lineAt = SETTINGS_SIZE + ERROR_CAPACITY;
  return withMemory(wasm, lineAt + text.length, (settings) => {
    const error = settings + SETTINGS_SIZE;
    new Uint8Array(wasm.memory.buffer, settings + lineAt, text.length).set(text);
    const status = wasm.tonkelwerk_settings_parse(settings + lineAt, text.length, settings, error,
      ERROR_CAPACITY);
    if (status === STATUS_LINE) throw new TonkelwerkError(status, cString(wasm, error));
    check(wasm, status);
    const [hasSeed, seed, name, nameLength] =
      new Uint32Array(wasm.memory.buffer, settings + KNOBS_SIZE, 4);
    return {
      name: name ? new TextDecoder().decode(new Uint8Array(wasm.memory.buffer, name, nameLength)) : null,
      knobs: readKnobs(wasm, settings),
      seed: hasSeed ? seed : null,
    };
  });
}

/** The settings line of a sound: its name (optional), knobs and seed (optional). */
export async function settingsLine(settings) {
  const { angles, seed } = soundOf(settings, ['name']);
  const name = given(settings.name) ? settings.name : '';
  if (typeof name !== 'string') throw new TypeError("tonkelwerk: a sound's name is a string");
  const wasm = await engine();
  const nameBytes = new TextEncoder().encode(name);
  const line = printSettings(wasm, angles, seed, nameBytes, 128);
  return typeof line === 'string' ? line : printSettings(wasm, angles, seed, nameBytes, line);
}

// The settings line, or the capacity it needs when `capacity` bytes are too few.
function printSettings(wasm, angles, seed, nameBytes, capacity) {
  const lengthAt = SETTINGS_SIZE;
  const nameAt = lengthAt + 4;
  const textAt = nameAt + nameBytes.length;
  return withMemory(wasm, textAt + capacity, (address) => {
    const { buffer } = wasm.memory;
    writeKnobs(wasm, address, angles);
    new Uint32Array(buffer, address + KNOBS_SIZE, 4)
      .set([seed === undefined ? 0 : 1, seed ?? 0, address + nameAt, nameBytes.length]);
    new Uint8Array(buffer, address + nameAt, nameBytes.length).set(nameBytes);
    const status = wasm.tonkelwerk_settings_print(address, address + textAt, capacity,
      address + lengthAt);
    if (status === STATUS_CAPACITY) return new Uint32Array(buffer, address + lengthAt, 1)[0] + 1;
    check(wasm, status);
    return cString(wasm, address + textAt);
  });
}

/** The knobs that preset `name` draws for `seed`: render them with the same seed. */
export async function preset(name, seed = 0) {
  if (typeof name !== 'string' || name.includes('\0')) {
    throw new TypeError('tonkelwerk: a preset name is a string without NUL characters');
  }
  const drawSeed = seedOf(seed) ?? 0;
  const wasm = await engine();
  const nameBytes = new TextEncoder().encode(`${name}\0`);
  return withMemory(wasm, KNOBS_SIZE + nameBytes.length, (knobs) => {
    new Uint8Array(wasm.memory.buffer, knobs + KNOBS_SIZE, nameBytes.length).set(nameBytes);
    check(wasm, wasm.tonkelwerk_preset(knobs + KNOBS_SIZE, drawSeed, knobs));
    return readKnobs(wasm, knobs);
  });
}

/** The presets' names, in the order tonkelwerk-render --help lists them. */
export async function presets() {
  const wasm = await engine();
  const count = wasm.tonkelwerk_preset_count();
  return Array.from({ length: count }, (_, i) => cString(wasm, wasm.tonkelwerk_preset_name(i)));
}

/** The engine's interface version, such as '2.0.0'. */
export async function version() {
  const wasm = await engine();
  return cString(wasm, wasm.tonkelwerk_version());
}

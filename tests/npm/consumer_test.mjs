// The npm package as a game's Node program uses it, installed from its
// tarball: run by npm_test.py from the consumer project's folder as
// `node consumer_test.mjs RENDER_TOOL SCRATCH_DIR`. Every sound must be the
// renderer's file byte for byte; what the engine refuses must throw.
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { readFileSync, statSync } from 'node:fs';
import { join } from 'node:path';
import {
  parseSettingsLine, preset, presets, render, samples, settingsLine, TonkelwerkError, version,
} from 'tonkelwerk';

const [renderTool, scratch] = process.argv.slice(2);
const KNOBS = ['start', 'end', 'freq', 'rustle', 'cutter', 'len'];

// The renderer's file of `args` (written to SCRATCH_DIR/name.wav) and its
// standard output.
function rendered(name, args) {
  const path = join(scratch, `${name}.wav`);
  const stdout = execFileSync(renderTool, [...args, '-o', path, '--print-settings'],
    { encoding: 'utf8' });
  return { wav: readFileSync(path), line: stdout.trim() };
}

function knobArgs(sound) {
  return KNOBS.filter((knob) => sound[knob] !== undefined)
    .flatMap((knob) => [`--${knob}`, String(sound[knob])]);
}

async function rendersAsTheRenderer() {
  const sounds = [
    { freq: 120, len: 40, seed: 7 },
    { freq: 1, len: 1 },
    { start: 90, end: 180, freq: 270, rustle: 45, cutter: 135, len: 20, seed: 1 },
    { start: 360, end: 360, freq: 360, rustle: 360, cutter: 360, len: 360, seed: 4294967295 },
    { end: 300, freq: 50, len: 100, seed: 123456 },
    { start: 5, end: 5, freq: 3, rustle: 1, cutter: 2, len: 13, seed: 99 },
  ];
  for (const [i, sound] of sounds.entries()) {
    const { wav } = rendered(`sound-${i}`, [...knobArgs(sound), '--seed', String(sound.seed ?? 0)]);
    const got = await render(sound);
    assert.ok(got instanceof Uint8Array, 'render() gives a Uint8Array');
    assert.ok(Buffer.from(got).equals(wav), `render(${JSON.stringify(sound)}) differs from the renderer's file`);
    // The samples are the WAV file's data, which is rounded on its own.
    const values = await samples(sound);
    assert.ok(values instanceof Int16Array, 'samples() gives an Int16Array');
    const dataSize = wav.readUInt32LE(40);
    const bytes = Buffer.from(values.buffer, values.byteOffset, values.byteLength);
    assert.ok(Math.abs(bytes.length - dataSize) <= 2, `${bytes.length} sample bytes for data of ${dataSize}`);
    assert.ok(bytes.equals(wav.subarray(44, 44 + bytes.length)), `samples(${JSON.stringify(sound)}) are not the WAV's data`);
  }
}

// Every preset draws the renderer's knobs, prints its settings line and
// reads it back.
async function presetsAndSettingsLinesAsTheRenderer() {
  const names = await presets();
  assert.ok(names.includes('laser') && names.includes('explosion'), `presets: ${names}`);
  for (const [i, name] of names.entries()) {
    const seed = 1000 * i + 7;
    const { wav, line } = rendered(name, ['--preset', name, '--seed', String(seed)]);
    const knobs = await preset(name, seed);
    assert.deepEqual(Object.keys(knobs), KNOBS);
    assert.ok(Buffer.from(await render({ ...knobs, seed })).equals(wav), `preset ${name} ${seed}`);
    assert.equal(await settingsLine({ name, seed, ...knobs }), line);
    assert.deepEqual(await parseSettingsLine(line), { name, knobs, seed });
  }
  assert.deepEqual(await parseSettingsLine('  freq=120 len=40 '),
    { name: null, knobs: { start: 0, end: 0, freq: 120, rustle: 0, cutter: 0, len: 40 }, seed: null });
  assert.equal(await settingsLine({ name: 'Zäp 1', freq: 3, len: 360 }),
    'Zäp 1: start=0 end=0 freq=3 rustle=0 cutter=0 len=360');
  assert.equal(await version(), JSON.parse(readFileSync('node_modules/tonkelwerk/package.json')).version);
}

async function refuses(call, Type, status, text) {
  await assert.rejects(call, (error) => {
    assert.ok(error instanceof Type, `${error} is no ${Type.name}`);
    if (status !== undefined) assert.equal(error.status, status);
    assert.match(error.message, text);
    return true;
  });
}

async function refusesWithReasons() {
  await refuses(render({ freq: 361, len: 40 }), TonkelwerkError, 2, /outside 0\.\.360/);
  await refuses(samples({ freq: 2 ** 32 + 5, len: 40 }), TonkelwerkError, 2, /outside 0\.\.360/);
  await refuses(render({ freq: 0, len: 40 }), TonkelwerkError, 3, /'Freq' and 'Len\.'/);
  await refuses(samples({ freq: 120 }), TonkelwerkError, 3, /'Freq' and 'Len\.'/);
  await refuses(preset('lazer', 7), TonkelwerkError, 7, /no preset/);
  await refuses(parseSettingsLine('zap: frq=120 len=40'), TonkelwerkError, 5, /frq=120/);
  await refuses(settingsLine({ name: 'a/b', freq: 1, len: 1 }), TonkelwerkError, 6, /file name/);
  await refuses(render({ freq: '120', len: 40 }), TypeError, undefined, /'freq'.*whole number/);
  await refuses(render({ freq: 1.5, len: 40 }), TypeError, undefined, /'freq'.*whole number/);
  await refuses(render({ frq: 120, len: 40 }), TypeError, undefined, /'frq' is not a knob/);
  await refuses(render({ freq: 1, len: 1, seed: 2 ** 32 }), RangeError, undefined, /0\.\.4294967295/);
  await refuses(preset(7), TypeError, undefined, /preset name/);
}

function smallEnough() {
  const size = ['index.js', 'tonkelwerk.wasm']
    .reduce((sum, file) => sum + statSync(join('node_modules/tonkelwerk', file)).size, 0);
  assert.ok(size < 40 * 1024, `index.js and tonkelwerk.wasm take ${size} bytes, above 40 KB`);
}

for (const check of [rendersAsTheRenderer, presetsAndSettingsLinesAsTheRenderer,
  refusesWithReasons, smallEnough]) {
  await check();
  console.log(`ok ${check.name}`);
}

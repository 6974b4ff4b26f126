// How fast the npm package renders in Node against the native engine: one
// render() of the longest sound (every knob at 360) through the package's
// wasm, and one through the C interface in a native loop
// (tonkelwerk_c_render_time of the release build), taken in turns, the best
// of each; prints both and their ratio against the goal of 2.
// Usage: node bench/js_render.mjs [WEB_BUILD] [RELEASE_BUILD]
//   (default build/web and build/release; build the targets tonkelwerk_npm
//   and tonkelwerk_c_render_time there first).
// Leaves out: the first render, which loads and compiles the wasm.
import { execFileSync } from 'node:child_process';
import { resolve } from 'node:path';
import { pathToFileURL } from 'node:url';

const [webBuild = 'build/web', releaseBuild = 'build/release'] = process.argv.slice(2);
const { render } = await import(pathToFileURL(resolve(webBuild, 'npm/package/index.js')));
const nativeTool = resolve(releaseBuild, 'bench/tonkelwerk_c_render_time');
const longest = { start: 360, end: 360, freq: 360, rustle: 360, cutter: 360, len: 360 };
const kRounds = 5;
const kRenders = 10;

async function wasmMs() {
  let best = Infinity;
  for (let round = 0; round < kRounds; ++round) {
    const start = performance.now();
    for (let i = 0; i < kRenders; ++i) await render({ ...longest, seed: i });
    best = Math.min(best, (performance.now() - start) / kRenders);
  }
  return best;
}

await render(longest);
let native = Infinity;
let wasm = Infinity;
for (let turn = 0; turn < 3; ++turn) {
  native = Math.min(native, Number(execFileSync(nativeTool, { encoding: 'utf8' })));
  wasm = Math.min(wasm, await wasmMs());
}
console.log(`native C interface: ${native.toFixed(3)} ms per render`);
console.log(`wasm in Node ${process.version}: ${wasm.toFixed(3)} ms per render()`);
console.log(`ratio wasm / native: ${(wasm / native).toFixed(2)} (goal: 2 or less)`);

// The npm package's types as a TypeScript game sees them: npm_test.py
// checks this file with tsc (strict, Node's module resolution) in the
// consumer project. Each @ts-expect-error line must be refused by the types.
import {
  parseSettingsLine, preset, presets, render, samples, settingsLine, TonkelwerkError, version,
} from 'tonkelwerk';
import type { Knobs, ParsedSettings } from 'tonkelwerk';

export async function typical(): Promise<number> {
  const wav: Uint8Array = await render({ freq: 120, len: 40, seed: 7 });
  const pcm: Int16Array = await samples({ freq: 120, len: 40 });
  const knobs: Knobs = await preset('laser', 7);
  const parsed: ParsedSettings = await parseSettingsLine('laser: freq=120 len=40 seed=7');
  const name: string | null = parsed.name;
  const line: string = await settingsLine({ name, seed: parsed.seed, ...parsed.knobs });
  const names: string[] = await presets();
  const text: string = await version();
  try {
    await render({ ...knobs, seed: 7 });
  } catch (error) {
    if (error instanceof TonkelwerkError) return error.status;
  }
  return wav.length + pcm.length + line.length + names.length + text.length;
}

export async function refused(): Promise<void> {
  // @ts-expect-error a knob is a number
  await render({ freq: '120', len: 40 });
  // @ts-expect-error there is no knob "frq"
  await render({ frq: 120, len: 40 });
  // @ts-expect-error a parsed seed may be null
  const seed: number = (await parseSettingsLine('freq=1 len=1')).seed;
  void seed;
}

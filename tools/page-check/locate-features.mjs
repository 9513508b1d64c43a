// Where in a file the features es-check names are used: "file:line:column: feature" for
// the first use of each, so that a failing file names the feature and the line.
// Usage: node locate-features.mjs FILE FEATURE...
import { readFileSync } from 'node:fs';

const [file, ...features] = process.argv.slice(2);
const text = readFileSync(file, 'utf8');
const builtins = ['Object', 'Array', 'String', 'Promise', 'Number', 'Math', 'Reflect', 'Symbol', 'JSON', 'Intl', 'RegExp'];

// es-check names a feature as its built-in and member run together ("ObjectValues",
// "PromiseFinally"); a bare name ("globalThis") stands for itself.
function patternOf(feature) {
  const owner = builtins.find((b) => feature.startsWith(b) && feature.length > b.length);
  if (!owner) return new RegExp(`\\b${feature}\\b`);
  const member = feature[owner.length].toLowerCase() + feature.slice(owner.length + 1);
  return new RegExp(`\\b${owner}\\.${member}\\b|\\.${member}\\s*\\(`);
}

for (const feature of features) {
  const found = patternOf(feature).exec(text);
  if (!found) {
    console.log(`${file}: ${feature}`);
    continue;
  }
  const before = text.slice(0, found.index);
  const line = before.split('\n').length;
  const column = found.index - before.lastIndexOf('\n');
  console.log(`${file}:${line}:${column}: ${feature}`);
}

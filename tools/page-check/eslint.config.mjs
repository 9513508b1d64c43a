// The browser interfaces our own page scripts call, against the engine's core: the
// browserslist entry of package.json, read here so that it is declared once.
import { readFileSync } from 'node:fs';
import compat from 'eslint-plugin-compat';

const { browserslist } = JSON.parse(readFileSync(new URL('./package.json', import.meta.url), 'utf8'));

export default [
  {
    ...compat.configs['flat/recommended'],
    files: ['*/*.js'],
    languageOptions: { ecmaVersion: 2015, sourceType: 'script' },
    settings: { browsers: browserslist },
  },
];

// Every style sheet of the pages against the engine's core: the browserslist entry of
// package.json, read here so that it is declared once. Features the core supports in
// part are left to the journeys' pictures.
import { readFileSync } from 'node:fs';

const { browserslist } = JSON.parse(readFileSync(new URL('./package.json', import.meta.url), 'utf8'));

const unsupported = (ignore = []) => [
  true,
  { browsers: browserslist, ignorePartialSupport: true, ignore, severity: 'error' },
];

export default {
  plugins: ['stylelint-no-unsupported-browser-features'],
  rules: { 'plugin/no-unsupported-browser-features': unsupported() },
  overrides: [
    {
      // The rich editor's own sheet. On the core each of these only drops a declaration
      // or a rule, and the editor's look holds without it (the editor journeys' pictures):
      files: ['../../view/lib/jodit.min.css'],
      rules: {
        'plugin/no-unsupported-browser-features': unsupported([
          'mdn-text-decoration-shorthand', // a line style or colour: links and marks keep their plain underline
          'css-focus-visible', // keyboard focus rings of buttons
          'css-math-functions', // min()/max() sizes: the plain sizes before them stay
          'css-not-sel-list', // a few hover and state rules of the toolbar
          'css-overflow-anchor', // scroll anchoring
          'css-scroll-behavior', // smooth scrolling
          'flexbox-gap', // spacing inside a few popups
          'css-rrggbbaa', // a few translucent colours
          'css-sticky', // the sticky toolbar, which our editors turn off
          'css-containment', // a rendering hint
        ]),
      },
    },
  ],
};

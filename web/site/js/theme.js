// The page's colours: the system's choice (prefers-color-scheme), or light
// or dark whatever the system says, as the student picks in the Colours
// list. The choice is remembered with the page's other settings; style.css
// holds both palettes and reads data-theme on the root element.
import {Store} from './store.js';

export const Themes = ['system', 'light', 'dark'];
const Key = 'theme';

export function applyTheme(theme) {
  const root = document.documentElement;
  if (theme === 'light' || theme === 'dark')
    root.dataset.theme = theme;
  else
    delete root.dataset.theme;
}

export function initTheme(select, store = new Store(localStorage)) {
  const saved = store.get(Key);
  const theme = Themes.includes(saved) ? saved : 'system';
  select.value = theme;
  applyTheme(theme);
  select.addEventListener('change', () => {
    applyTheme(select.value);
    store.set(Key, select.value);
  });
}

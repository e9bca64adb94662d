// Recent files: the last files opened (picked, dropped or reopened here),
// newest first, kept with their bytes in the page's storage, since a page
// cannot open a file again by its name. Choosing one opens it as Open would.
import {ask} from './dialogs.js';
import {openFile} from './drop.js';
import {toBase64Url, fromBase64Url} from './share.js';
import {Store} from './store.js';

export const RecentCount = 6;
// A larger file is opened but not kept: the storage holds a few megabytes
// for everything the page keeps.
export const RecentBytes = 64 * 1024;
const Key = 'recent';

export class RecentFiles {
  // docs: the page's documents; select: the Recent files list, its first
  // option its caption.
  constructor(docs, select, store = new Store(localStorage)) {
    this.docs = docs;
    this.select = select;
    this.store = store;
    select.addEventListener('change', () => this.choose());
    this.paint();
  }

  list() {
    try {
      const list = JSON.parse(this.store.get(Key) ?? '[]');
      return Array.isArray(list) ? list.filter((e) => typeof e?.name === 'string' && typeof e?.data === 'string') : [];
    } catch {
      return [];
    }
  }

  remember(file) {
    if (!file.name || file.bytes.length > RecentBytes) return;
    const list = this.list().filter((e) => e.name !== file.name);
    list.unshift({name: file.name, data: toBase64Url(file.bytes)});
    this.store.set(Key, JSON.stringify(list.slice(0, RecentCount)));
    this.paint();
  }

  paint() {
    const caption = this.select.options[0];
    this.select.replaceChildren(caption);
    for (const [i, e] of this.list().entries()) this.select.add(new Option(e.name, String(i)));
    this.select.value = '';
    this.select.disabled = this.select.options.length === 1;
  }

  async choose() {
    const entry = this.list()[Number(this.select.value)];
    this.select.value = '';
    if (!entry) return;
    let bytes;
    try {
      bytes = fromBase64Url(entry.data);
    } catch {
      await ask(`The copy of ${entry.name} kept here is damaged; open the file again.`, ['OK']);
      return;
    }
    await openFile(this.docs, {name: entry.name, bytes});
  }
}

// Files dropped onto the page open as Open would open them: a source (.asm)
// into the editor, after the question about unsaved text; an exercise
// (.json) into the exercise pane, its answer into the editor; anything else as
// a program file into memory, after the question about modified memory. One
// file at a time; a drop of several opens the first and says so.
import {ask} from './dialogs.js';

export const ManyFiles = 'Only one file can be opened at a time; the first one was opened.';

// Opens file ({name, bytes}) by its kind, after the question that kind asks.
// docs: the page's documents (documents.js).
export async function openFile(docs, file) {
  if (/\.json$/i.test(file.name))
    await docs.app.exercise.open(file);
  else if (/\.asm$/i.test(file.name)) {
    if (await docs.askSaveSource()) docs.loadSource(file);
  } else if (await docs.askSaveMemory('Memory Changed.\nDo you want to save before you open another file?'))
    docs.loadProgramFile(file);
}

export function initDrop(docs) {
  const carriesFiles = (e) => [...(e.dataTransfer?.types ?? [])].includes('Files');
  document.addEventListener('dragover', (e) => {
    if (!carriesFiles(e)) return;
    e.preventDefault();
    e.dataTransfer.dropEffect = document.querySelector('dialog[open]') ? 'none' : 'copy';
  });
  document.addEventListener('drop', async (e) => {
    if (!carriesFiles(e)) return;
    // Never the browser's own handling, which would leave the page.
    e.preventDefault();
    if (document.querySelector('dialog[open]')) return;
    const files = [...e.dataTransfer.files];
    if (!files.length) return;
    await openFile(docs, {name: files[0].name, bytes: new Uint8Array(await files[0].arrayBuffer())});
    if (files.length > 1) await ask(ManyFiles, ['OK']);
  });
}

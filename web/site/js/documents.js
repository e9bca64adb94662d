// The page's two documents: main memory (program files, Assemble) and the
// assembly source (.asm files, the examples), each with its name and its
// "save first?" question, as the desktop's windows have them. Open also
// takes exercise files (.json), which open the exercise pane.
import {bytesToString} from './core.js';
import {ask} from './dialogs.js';
import {textToBytes} from './editor.js';
import {download, pickFile} from './files.js';

const $ = (id) => document.getElementById(id);

export class Documents {
  // app: editor, exercise, store, refresh(), save(), setModified(flag), modified.
  constructor(core, app) {
    this.core = core;
    this.app = app;
    this.fileName = '';
    this.sourceName = '';
    this.sourceModified = false;
  }

  restoreNames(names) {
    this.fileName = String(names.fileName ?? '');
    this.sourceName = String(names.sourceName ?? '');
    this.sourceModified = !!names.sourceModified;
    this.setTitle();
  }

  saveNames() {
    this.app.store.saveNames(
        {fileName: this.fileName, sourceName: this.sourceName, sourceModified: this.sourceModified});
  }

  setTitle() {
    this.saveNames();
    document.title = $('title').textContent = this.fileName ? `Orvik Simulator - ${this.fileName}` : 'Orvik Simulator';
  }

  // The student typed in the source.
  sourceEdited() {
    if (this.sourceModified) return;
    this.sourceModified = true;
    this.saveNames();
  }

  // --- main memory
  async askSaveMemory(question) {
    if (!this.app.modified) return true;
    const answer = await ask(question, ['Yes', 'No', 'Cancel'], 'Save?');
    if (answer === 'Yes') this.saveProgram(this.fileName || 'program.prg');
    return answer === 'Yes' || answer === 'No';
  }

  async open() {
    if (!(await this.askSaveMemory('Memory Changed.\nDo you want to save before you open another file?'))) return;
    const file = await pickFile('.prg,.asm,.json');
    if (!file) return;
    if (/\.json$/i.test(file.name)) {
      await this.app.exercise.open(file);
      return;
    }
    if (/\.asm$/i.test(file.name)) {
      // The editor's own Open asks about unsaved text; so does this one.
      if (await this.askSaveSource()) this.loadSource(file);
      return;
    }
    this.loadProgramFile(file);
  }

  // file: {name, bytes} of a program file, asked about already.
  loadProgramFile(file) {
    const message = this.core.loadProgram(file.bytes);
    if (message)
      ask(message, ['OK']);
    else {
      this.recent?.remember(file);
      this.fileName = file.name;
      this.setTitle();
      this.app.tools?.opened(file.name);
    }
    this.app.setModified(false);
    this.app.refresh(true);
    this.app.save();
  }

  saveProgram(name) {
    download(name, this.core.saveProgram());
    this.fileName = name;
    this.setTitle();
    this.app.setModified(false);
    this.app.save();
  }

  saveProgramAs() {
    const name = prompt('Save main memory as', this.fileName || 'program.prg');
    if (name) this.saveProgram(name);
  }

  // --- the source
  async askSaveSource() {
    if (!this.sourceModified) return true;
    const answer = await ask(
        'Assembly File Changed.\nDo you want to save before you open another file?',
        ['Yes', 'No', 'Cancel'],
    );
    if (answer === 'Yes') this.saveSource();
    return answer !== 'Cancel';
  }

  loadSource(file) {
    this.recent?.remember(file);
    const editor = this.app.editor;
    editor.setText(bytesToString(file.bytes));
    this.sourceName = file.name;
    this.sourceModified = false;
    this.saveNames();
    editor.setErrors([]);
    this.app.store.saveSource(editor.text);
  }

  async openSource() {
    if (!(await this.askSaveSource())) return;
    const file = await pickFile('.asm');
    if (file) this.loadSource(file);
  }

  saveSource() {
    // Lines end in CR LF, as the desktop writes them.
    download(this.sourceName || 'source.asm', textToBytes(this.app.editor.text.replace(/\n/g, '\r\n')));
    this.sourceModified = false;
    this.saveNames();
  }

  async example(url) {
    if (!(await this.askSaveSource())) return;
    const response = await fetch(url);
    this.loadSource({name: '', bytes: new Uint8Array(await response.arrayBuffer())});
  }

  async assemble() {
    const editor = this.app.editor;
    const {errors} = this.core.assemble(editor.bytes());
    editor.setErrors(errors);
    if (errors.length) return;
    if (!(await this.askSaveMemory('Memory Changed.\nDo you want to save before you overwrite the memory?'))) return;
    this.core.loadImage();
    this.app.setModified(false);
    this.app.refresh(true);
    this.app.save();
  }
}

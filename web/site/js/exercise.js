// Exercises on the page, as the window has them: an exercise file (Open,
// a drop, Recent files, or a link #exercise=PATH on this same site) opens
// the pane beside the editor with its title, statement and visible cases,
// and the editor on the student's answer to it. Check (the button or F6)
// assembles the editor's text without touching memory and runs it against
// every case in the core, with the engine of orvik-cli test; the rows and
// their words are the core's, the window's. Debug this case loads a failing
// case's start into the machine.
//
// The statement is shown as plain paragraphs (blank lines between them);
// Markdown in it is shown as written.
import {ask} from './dialogs.js';
import {fromBase64Url, toBase64Url} from './share.js';
import {Black, setStatus} from './status.js';

const $ = (id) => document.getElementById(id);
// In the page's storage: the open exercise ({name, data}), and per
// exercise the student's answer, under the exercise's file name without
// folders and ".json", as the window keeps its answers.
const OpenKey = 'exercise';
const AnswerPrefix = 'answer.';

export function exerciseKey(name) { return name.replace(/^.*[\\/]/, '').replace(/\.json$/i, ''); }

export class ExercisePane {
  // app: the page's controller (core, editor, docs, store, runner,
  // refresh(), save(), setModified()).
  constructor(core, app) {
    this.core = core;
    this.app = app;
    this.file = null;  // {name, bytes} of the open exercise
    $('check').addEventListener('click', () => this.check());
    $('exercise-close').addEventListener('click', () => this.close());
    $('check').disabled = true;
  }

  get key() { return this.file ? exerciseKey(this.file.name) : ''; }

  // Keeps the student's answer to the open exercise; the editor calls it
  // after every edit.
  sourceEdited(text) {
    if (this.file) this.app.store.set(AnswerPrefix + this.key, text);
  }

  // Opens file ({name, bytes}): the pane shows it and the editor holds the
  // saved answer, or the starter. A file that is no exercise says why and
  // changes nothing; so does Cancel on the question about unsaved text.
  async open(file) {
    const problem = this.core.openExercise(file.name, file.bytes);
    if (problem) {
      await ask(`${file.name} cannot be opened as an exercise:\n${problem}`, ['OK']);
      return false;
    }
    const exercise = this.core.exercise();
    const key = exerciseKey(file.name);
    const answer = this.app.store.get(AnswerPrefix + key) ?? exercise.starter;
    const editor = this.app.editor;
    const docs = this.app.docs;
    // Nothing is asked when the editor's text is kept already: it is the
    // open exercise's answer, or the very text it will show (a reload of
    // the link).
    const kept = (this.file && editor.text === this.app.store.get(AnswerPrefix + this.key)) ||
        editor.text === answer.replace(/\r\n?/g, '\n');
    if (!kept && !(await docs.askSaveSource())) {
      // The core goes back to the exercise the pane still shows, without
      // the results of its last Check.
      if (this.file) this.core.openExercise(this.file.name, this.file.bytes);
      this.clearResults();
      return false;
    }
    this.file = file;
    this.show(exercise);
    editor.setText(answer);
    editor.setErrors([]);
    docs.sourceName = `${key}.asm`;
    docs.sourceModified = false;
    docs.saveNames();
    this.app.store.saveSource(editor.text);
    this.app.store.set(OpenKey, JSON.stringify({name: file.name, data: toBase64Url(file.bytes)}));
    docs.recent?.remember(file);
    return true;
  }

  // The exercise open before a reload, with the editor as the reload left
  // it (its own copy of the source).
  restore() {
    let saved;
    try {
      saved = JSON.parse(this.app.store.get(OpenKey) || 'null');
      if (!saved) return;
      const bytes = fromBase64Url(saved.data);
      if (this.core.openExercise(saved.name, bytes)) return;
      this.file = {name: saved.name, bytes};
      this.show(this.core.exercise());
    } catch {
      // A damaged copy: the page opens without the exercise.
    }
  }

  show(exercise) {
    $('exercise-title').textContent = exercise.title || exerciseKey(this.file.name);
    const paragraphs = exercise.statement.split(/\n[ \t]*\n/).filter((p) => p.trim());
    $('exercise-statement').replaceChildren(...paragraphs.map((text) => {
      const p = document.createElement('p');
      p.textContent = text.trim();
      return p;
    }));
    $('exercise-cases').replaceChildren(...exercise.cases.map((line) => {
      const item = document.createElement('li');
      item.textContent = line;
      return item;
    }));
    this.clearResults();
    $('exercise-window').hidden = false;
    $('check').disabled = false;
  }

  clearResults() {
    $('exercise-results').replaceChildren();
    $('exercise-hidden').textContent = '';
    $('exercise-total').textContent = '';
  }

  close() {
    this.file = null;
    this.app.store.set(OpenKey, '');
    $('exercise-window').hidden = true;
    $('check').disabled = true;
    this.app.editor.e.area.focus();
  }

  // Check: errors go to the error list as after Assemble; memory is left
  // as it is. The cases' step limits bound the time it takes.
  check() {
    if (!this.file) return;
    const editor = this.app.editor;
    const {errors} = this.core.assemble(editor.bytes());
    this.clearResults();
    editor.setErrors(errors);
    if (errors.length) {
      $('exercise-total').textContent = this.core.noAssemblyWords();
      return;
    }
    const result = this.core.checkExercise();
    $('exercise-results').replaceChildren(...result.rows.map((row, i) => {
      const item = document.createElement('li');
      item.className = row.passed ? 'pass' : 'fail';
      const text = document.createElement('span');
      text.id = `exercise-result-${i}`;
      text.textContent = row.text;
      item.appendChild(text);
      if (!row.passed) {
        const button = document.createElement('button');
        button.textContent = 'Debug this case';
        button.title = 'Load this case\'s memory, registers and PC into the machine to step through it';
        button.setAttribute('aria-describedby', text.id);
        button.addEventListener('click', () => this.debug(i));
        item.appendChild(button);
      }
      return item;
    }));
    $('exercise-hidden').textContent = result.hidden;
    $('exercise-total').textContent = result.total;
  }

  // The start the grader used, as one edit that Undo takes back, with the
  // checked source's map so the editor's band shows the line of PC.
  async debug(row) {
    const app = this.app;
    if (!(await app.docs.askSaveMemory('Memory Changed.\nDo you want to save before you load the case?'))) return;
    if (app.runner.running) app.runner.stop('Ready', Black);
    if (!this.core.debugCase(row)) return;
    app.setModified(false);
    app.refresh(true);
    app.save();
    setStatus('Ready', Black);
  }
}

// #exercise=PATH: a path or address on this same site, fetched and opened;
// any other site is refused, since the page would run its cases for it.
export async function openExerciseLink(pane, fragment = location.hash) {
  const match = /^#exercise=(.*)$/s.exec(fragment);
  if (!match) return;
  let url;
  try {
    url = new URL(decodeURIComponent(match[1]), location.href);
  } catch {
    await ask(`This exercise link cannot be read: "${match[1]}" is no path or address.`, ['OK']);
    return;
  }
  const refuse = (origin) => ask(
      `This exercise link points to another site (${origin}).\n` +
          `Only exercises of this site (${location.origin}) can be opened from a link.`,
      ['OK']);
  if (url.origin !== location.origin) return refuse(url.origin);
  let response;
  try {
    response = await fetch(url);
  } catch (e) {
    await ask(`The exercise ${url.pathname} cannot be fetched: ${e.message}.`, ['OK']);
    return;
  }
  // A redirect may leave the site too.
  if (new URL(response.url).origin !== location.origin) return refuse(new URL(response.url).origin);
  if (!response.ok) {
    await ask(`The exercise ${url.pathname} cannot be fetched: ${response.status} ${response.statusText}.`, ['OK']);
    return;
  }
  // Named as a file of that name would be, in messages and Recent files.
  const name = decodeURIComponent(url.pathname.replace(/^.*\//, '')) || url.pathname;
  await pane.open({name, bytes: new Uint8Array(await response.arrayBuffer())});
}

export function initExercises(pane) {
  pane.restore();
  addEventListener('hashchange', () => openExerciseLink(pane));
  return openExerciseLink(pane);
}

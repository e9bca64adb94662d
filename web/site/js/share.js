// Programs shared by link: Share puts the editor's source into the page's
// address as #src= and the base64url (no padding) of its UTF-8 bytes, or for
// a long source #zsrc= and the same of its bytes deflate-raw compressed. The
// fragment never reaches the server. Opening such an address loads the
// source into the editor, asking first as Open does when the editor holds
// other, unsaved text; a link that cannot be read says so and changes nothing.
import {ask} from './dialogs.js';
import {textToBytes} from './editor.js';
import {Blue, setStatus} from './status.js';

// Longer sources are compressed: addresses of a few kilobytes are where
// browsers and chat programs start to cut them.
export const CompressAbove = 1500;

export function toBase64Url(bytes) {
  let binary = '';
  for (const b of bytes) binary += String.fromCharCode(b);
  return btoa(binary).replace(/\+/g, '-').replace(/\//g, '_').replace(/=+$/, '');
}

// Throws on anything that is not base64url without padding.
export function fromBase64Url(text) {
  if (!/^[A-Za-z0-9_-]*$/.test(text) || text.length % 4 === 1) throw new Error('it is not base64url');
  const binary = atob(text.replace(/-/g, '+').replace(/_/g, '/'));
  return Uint8Array.from(binary, (c) => c.charCodeAt(0));
}

async function through(bytes, stream) {
  return new Uint8Array(await new Response(new Blob([bytes]).stream().pipeThrough(stream)).arrayBuffer());
}

export async function linkFragment(text) {
  const bytes = new TextEncoder().encode(text);
  if (bytes.length <= CompressAbove) return '#src=' + toBase64Url(bytes);
  return '#zsrc=' + toBase64Url(await through(bytes, new CompressionStream('deflate-raw')));
}

// Resolves to the source of a fragment, null when it holds no link; throws
// an Error whose message says what is wrong with a link that is broken.
export async function sourceOfFragment(fragment) {
  const match = /^#(z?src)=(.*)$/s.exec(fragment);
  if (!match) return null;
  let bytes = fromBase64Url(match[2]);
  if (match[1] === 'zsrc') {
    try {
      bytes = await through(bytes, new DecompressionStream('deflate-raw'));
    } catch {
      throw new Error('its compressed text is damaged');
    }
  }
  let text;
  try {
    text = new TextDecoder('utf-8', {fatal: true}).decode(bytes);
  } catch {
    throw new Error('it is not UTF-8 text');
  }
  if ([...text].some((c) => c.charCodeAt(0) > 255)) throw new Error('it holds characters a source cannot have');
  return text;
}

// sim: the page's controller (its editor, and docs for askSaveSource and
// loadSource); button: the Share command.
export function initShare(sim, button) {
  const share = async () => {
    const fragment = await linkFragment(sim.editor.text);
    history.replaceState(null, '', fragment);
    let copied = false;
    try {
      await navigator.clipboard.writeText(location.href);
      copied = true;
    } catch {
      // No clipboard without permission: the address bar has the link.
    }
    setStatus(copied ? 'Link copied; it is also in the address bar' : 'Link in the address bar', Blue);
  };
  const open = async () => {
    let text;
    try {
      text = await sourceOfFragment(location.hash);
    } catch (e) {
      await ask(`This link's source cannot be read: ${e.message}.\nThe editor keeps its text.`, ['OK']);
      return;
    }
    if (text === null) return;
    if (text !== sim.editor.text && (await sim.docs.askSaveSource()))
      sim.docs.loadSource({name: '', bytes: textToBytes(text)});
    // Done with: a reload shows the editor's text, not the link's again.
    history.replaceState(null, '', location.pathname + location.search);
  };
  button.addEventListener('click', share);
  addEventListener('hashchange', open);
  return open();
}

// Installs the service worker (sw.js) that keeps the page for use without
// a network. Browsers allow one only on https or localhost; elsewhere, and
// when registering fails, the page works as before, online only.
export function initOffline() {
  if (!('serviceWorker' in navigator) || !isSecureContext) return;
  navigator.serviceWorker.register('sw.js').catch(() => {});
}

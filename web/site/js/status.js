// The status bar's words and colours, as the desktop's status panel shows
// them; the colours are style.css's, the desktop's made readable on the
// light or dark ground the page shows.
export const Black = 'var(--status-black)';
export const Green = 'var(--status-green)';
export const Red = 'var(--status-red)';
export const Blue = 'var(--status-blue)';

export function setStatus(text, colour) {
  const panel = document.getElementById('status-text');
  panel.textContent = text;
  panel.style.color = colour;
}

export function showSelection(lo, hi) {
  if (lo < 0 || hi < 0)
    setStatus('No Selection', Blue);
  else if (lo === hi)
    setStatus(`Selected: ${lo}`, Blue);
  else
    setStatus(`Selected: ${lo}-${hi}`, Blue);
}

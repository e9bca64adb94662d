// The status bar's words and colours, as the desktop's status panel shows
// them.
export const Black = 'rgb(0, 0, 0)';
export const Green = 'rgb(0, 128, 0)';
// Darker than the desktop's pure red, for 4.5:1 on the status bar's grey.
export const Red = 'rgb(200, 0, 0)';
export const Blue = 'rgb(0, 0, 192)';

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

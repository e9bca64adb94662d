// Writes for what a run's frames paint: a property or an attribute is set
// only when it differs, since the same value written again still costs the
// browser style work on every frame.

export function setProperty(element, name, value) {
  if (element[name] !== value) element[name] = value;
}

export function setAttribute(element, name, value) {
  if (element.getAttribute(name) !== value) element.setAttribute(name, value);
}

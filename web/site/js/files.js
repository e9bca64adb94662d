// Files in the browser: opened through the file picker, saved as downloads.
// Both carry raw bytes: program files and 8-bit sources round-trip exactly.

export function download(name, bytes) {
  const link = document.createElement('a');
  link.href = URL.createObjectURL(new Blob([bytes], {type: 'application/octet-stream'}));
  link.download = name;
  link.click();
  setTimeout(() => URL.revokeObjectURL(link.href), 1000);
}

export function pickFile(accept) {
  const input = document.getElementById('file-picker');
  input.accept = accept;
  input.value = '';
  return new Promise((resolve) => {
    input.onchange = async () => {
      const file = input.files[0];
      resolve(file ? {name: file.name, bytes: new Uint8Array(await file.arrayBuffer())} : null);
    };
    input.oncancel = () => resolve(null);
    input.click();
  });
}

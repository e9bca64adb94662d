// Help (F1, or the Help button): the desktop's instruction-set and syntax
// topics, the same pages the desktop's help window shows, copied into
// help/ by the build with their titles in help/topics.json.

// dialog: the help dialog; its list of topics (#help-topics) and the page
// shown (#help-page) are filled here.
export function initHelp(dialog, button) {
  const list = dialog.querySelector('#help-topics');
  const page = dialog.querySelector('#help-page');
  const title = dialog.querySelector('#help-title');
  let topics = null;
  const show = async (topic) => {
    title.textContent = topic.title;
    for (const b of list.querySelectorAll('button')) b.setAttribute('aria-pressed', String(b.value === topic.name));
    try {
      const response = await fetch(`help/${topic.name}.html`);
      if (!response.ok) throw new Error(response.statusText);
      // The pages are the program's own files, served beside the page.
      page.innerHTML = await response.text();
    } catch {
      page.textContent = 'This help page cannot be loaded now.';
    }
    page.scrollTop = 0;
  };
  const open = async () => {
    if (dialog.open) return;
    if (!topics) {
      try {
        topics = await (await fetch('help/topics.json')).json();
      } catch {
        topics = [];
      }
      for (const topic of topics) {
        const b = document.createElement('button');
        b.type = 'button';
        b.value = topic.name;
        b.textContent = topic.title;
        b.addEventListener('click', () => show(topic));
        list.appendChild(b);
      }
    }
    dialog.showModal();
    if (topics.length) await show(topics[0]);
    else page.textContent = 'This help page cannot be loaded now.';
  };
  button.addEventListener('click', open);
}

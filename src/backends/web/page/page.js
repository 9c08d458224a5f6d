// The page's own thread: the frame on its canvas and its size, the player's input sent to the engine (which
// runs in a worker, worker.js), the popup menu and the dialogs as HTML, the page's menu (≡: full screen,
// the saves exported and imported, a game folder of the player's own), the progress while the game comes,
// what went wrong said in the player's language, the sound's output, and the service worker that keeps the
// game for play without a network. index.html loads it once it has found the browser able to run the game.
(function () {
  'use strict';
  const TEXTS = {
    ja: {
      loading: '読み込み中… {percent}%',
      starting: 'ゲームを始めています…',
      storage: 'このブラウザがこのページのデータの保存（IndexedDB）を許していないため、セーブできず、ゲームを始められません。' +
        'このサイトのデータ（Cookie とサイトデータ）を許可して、再読み込みしてください。',
      secondTab: 'このゲームはすでに別のタブで開かれています。そちらで遊んでください。',
      missing: '{file} がサーバーにないため、ゲームを始められません。ページが作り直されている途中かもしれません。しばらくして再読み込みしてください。',
      network: 'ゲームのデータを受け取れませんでした（{detail}）。ネットワークを確かめて、再読み込みしてください。',
      stopped: 'ゲームが異常終了しました: {detail}',
      folderFailed: 'フォルダを読めません: {detail}',
      ended: 'ゲームは終了しました。ページを再読み込みすると、もう一度遊べます。',
      saving: 'オフライン用に保存中',
      savingFailed: 'オフライン用の保存が途中で止まりました（{file}）。次に開いたときに続きを保存します。',
      offline: 'ネットワークがなくても遊べるようになりました。',
      update: '新しい版があります。',
      reload: '再読み込み',
      close: '閉じる',
      menu: 'メニュー',
      fullScreen: '全画面',
      install: 'アプリとして入れる',
      exportSaves: 'セーブデータを書き出す',
      importSaves: 'セーブデータを読み込む',
      replaced: '置き換えたセーブデータ（{date}）を書き出す',
      openFolder: 'ゲームフォルダを開く',
      noSaves: '書き出すセーブデータがまだありません。',
      unreadable: '{file} を読めません: {detail}',
      refused: '{file}: {reason}',
      imported: 'セーブデータを読み込みました。ゲームを始め直します…',
      notStored: 'セーブデータをブラウザに保存できませんでした。',
      soundBlocked: 'ブラウザが音を止めています。画面に触れると鳴ります。',
      noSound: '音を出せません: {detail}',
      fullScreenRefused: '全画面にできません: {detail}',
      folderText: '遊ぶゲームのフォルダを選んでください。ファイルはこのブラウザの中で読むだけで、どこにも送りません。',
      folderButton: 'フォルダを選ぶ',
      touch: '長押しか二本指のタップが、右クリックの代わりです（メニュー、コメント）。',
      playFullScreen: '全画面で遊ぶ',
    },
    en: {
      loading: 'Loading… {percent}%',
      starting: 'Starting the game…',
      storage: 'This browser does not let this page keep data (IndexedDB), so nothing could be saved and the game ' +
        'cannot start. Allow this site\'s data (cookies and site data) and reload the page.',
      secondTab: 'The game is already open in another tab; please play it there.',
      missing: '{file} is not on the server, so the game cannot start. The page may be being updated; ' +
        'please reload it in a while.',
      network: 'The game\'s data could not be received ({detail}). Please check the network and reload the page.',
      stopped: 'The game stopped: {detail}',
      folderFailed: 'The folder cannot be read: {detail}',
      ended: 'The game has ended; reload the page to play again.',
      saving: 'Saving for offline play',
      savingFailed: 'Saving for offline play stopped ({file}); it goes on the next time the page is opened.',
      offline: 'The game now plays without a network.',
      update: 'A new version is ready.',
      reload: 'Reload',
      close: 'Close',
      menu: 'Menu',
      fullScreen: 'Full screen',
      install: 'Install as an app',
      exportSaves: 'Export saves',
      importSaves: 'Import saves',
      replaced: 'Export the saves replaced on {date}',
      openFolder: 'Open a game folder',
      noSaves: 'There are no saves to export yet.',
      unreadable: '{file} cannot be read: {detail}',
      refused: '{file}: {reason}',
      imported: 'Saves imported; the game starts again…',
      notStored: 'The saves could not be stored in the browser.',
      soundBlocked: 'The browser holds the sound back; touch the game to hear it.',
      noSound: 'No sound: {detail}',
      fullScreenRefused: 'Full screen was refused: {detail}',
      folderText: 'Choose the folder of the game to play. Its files are read in this browser only; nothing is uploaded.',
      folderButton: 'Choose a folder',
      touch: 'A long press or a two-finger tap does what the right button does (the menu, comments).',
      playFullScreen: 'Play in full screen',
    },
  };
  const Input = { MouseDown: 0, MouseMove: 1, Wheel: 2, Key: 3, Menu: 4, Close: 6, MenuClosed: 8 };
  const Keys = { Enter: 0, ' ': 1, PageUp: 2, PageDown: 3, F1: 4, F2: 5, Control: 6, Escape: -1 };
  const SEPARATOR_BEFORE = new Set([3, 5, 7, 8]);

  const site = JSON.parse(document.getElementById('site').textContent);
  const query = new URLSearchParams(location.search);
  const openMode = query.has('open');
  const languages = query.get('lang') ? [query.get('lang')] : navigator.languages || [navigator.language || ''];
  const T = /^ja\b/i.test(languages[0] || '') ? TEXTS.ja : TEXTS.en;
  document.documentElement.lang = T === TEXTS.ja ? 'ja' : 'en';
  const say = (text, fields = {}) => text.replace(/\{(\w+)\}/g, (m, k) => (k in fields ? fields[k] : m));
  const $ = (id) => document.getElementById(id);
  const canvas = $('frame'), floatBox = $('float'), floatCanvas = $('float-frame');
  const stage = $('stage'), statusBox = $('status'), bar = $('bar'), notice = $('notice');
  const test = (window.mokurenTest = { errors: [], frames: 0, saves: 0, ready: false, forms: [], timings: {}, spoken: [] });
  let worker = null, failed = false, offscreen = false;
  let mainContext = null, floatContext = null;
  let openDialog = null, openMenu = null, menuItems = [];

  // ---- What the page says --------------------------------------------------------------------------
  function status(text, error) {
    statusBox.textContent = text;
    statusBox.hidden = !text;
    statusBox.className = error ? 'error' : '';
    if (error || !text) bar.hidden = true;
  }
  function progress(done, total) {
    const percent = total ? Math.floor((done * 100) / total) : 0;
    bar.hidden = false;
    bar.setAttribute('aria-valuenow', percent);
    bar.firstElementChild.style.width = percent + '%';
    status(say(T.loading, { percent }));
    bar.hidden = false;
  }
  // Every failure at start is said, and stops what is still being fetched.
  function fail(kind, detail = '') {
    if (failed) return;
    failed = true;
    const wasm = /failed to load wasm binary file at '([^']+)'/.exec(detail);
    if (wasm) kind = 'missing', detail = wasm[1];
    status(say(T[kind] || T.stopped, { file: detail, detail }), true);
    test.failed = kind;
    if (worker && kind !== 'stopped') worker.terminate();
  }
  // A line at the bottom: a text, a bar of progress or buttons; `seconds` takes it away again.
  let noticeTimer = 0;
  function showNotice(parts, seconds) {
    notice.replaceChildren(...parts);
    notice.hidden = false;
    clearTimeout(noticeTimer);
    if (seconds) noticeTimer = setTimeout(() => (notice.hidden = true), seconds * 1000);
  }
  function button(text, onClick) {
    const b = document.createElement('button');
    b.type = 'button';
    b.textContent = text;
    b.addEventListener('click', onClick);
    return b;
  }
  const text = (t) => document.createTextNode(t);

  // ---- The frame ------------------------------------------------------------------------------------
  let debugShown = false;
  function fit() {
    const scale = window.mokurenFit(debugShown ? 220 : 0);
    floatCanvas.style.width = 800 * Math.min(scale, 1) + 'px';
    floatCanvas.style.height = 184 * Math.min(scale, 1) + 'px';
  }
  window.addEventListener('resize', fit);
  document.addEventListener('fullscreenchange', fit);
  if (window.matchMedia) window.matchMedia('(orientation: portrait)').addEventListener?.('change', fit);
  fit();

  function send(kind, a, b, c) {
    if (worker) worker.postMessage({ t: 'input', kind, a: a | 0, b: b | 0, c: c | 0 });
  }
  function framePoint(clientX, clientY) {
    const r = canvas.getBoundingClientRect();
    return [Math.floor(((clientX - r.left) * 800) / r.width), Math.floor(((clientY - r.top) * 600) / r.height)];
  }

  // Mouse, wheel and keys.
  canvas.addEventListener('mousemove', (e) => send(Input.MouseMove, ...framePoint(e.clientX, e.clientY)));
  canvas.addEventListener('mousedown', (e) => {
    e.preventDefault();
    canvas.focus();
    closeMenu();
    const button = e.button === 2 ? 1 : e.button === 1 ? 2 : 0;
    const [x, y] = framePoint(e.clientX, e.clientY);
    send(Input.MouseMove, x, y);
    send(Input.MouseDown, x, y, button);
    startSound();
  });
  canvas.addEventListener('contextmenu', (e) => e.preventDefault());
  canvas.addEventListener('wheel', (e) => {
    e.preventDefault();
    send(Input.Wheel, e.deltaY > 0 ? 1 : -1);
  }, { passive: false });
  function key(e, down) {
    if (down) startSound();
    if (openMenu && down && e.key === 'Escape') return closeMenu();
    if (openDialog || openMenu || !(e.key in Keys) || e.target.closest?.('#tools')) return;
    e.preventDefault();
    send(Input.Key, Keys[e.key], down ? 1 : 0);
  }
  window.addEventListener('keydown', (e) => key(e, true));
  window.addEventListener('keyup', (e) => key(e, false));

  // Touch, where the finger is: a tap is a click, a long press or a two-finger tap the right button, a
  // swipe up pages the log back (the wheel turned up).
  let touch = null;
  canvas.addEventListener('touchstart', (e) => {
    e.preventDefault();
    closeMenu();
    firstTouch();
    const t = e.touches[0];
    if (e.touches.length === 2 && touch) {
      clearTimeout(touch.timer);
      touch.right = true;
      return;
    }
    touch = { clientX: t.clientX, clientY: t.clientY, right: false, done: false };
    touch.timer = setTimeout(() => {
      touch.done = true;
      const [x, y] = framePoint(touch.clientX, touch.clientY);
      send(Input.MouseMove, x, y);
      send(Input.MouseDown, x, y, 1);
    }, 500);
  }, { passive: false });
  canvas.addEventListener('touchmove', (e) => {
    e.preventDefault();
    const t = e.touches[0];
    if (touch && Math.hypot(t.clientX - touch.clientX, t.clientY - touch.clientY) > 12) clearTimeout(touch.timer);
  }, { passive: false });
  canvas.addEventListener('touchend', (e) => {
    e.preventDefault();
    startSound();  // browsers let a touch start the sound when it ends, not when it begins
    if (!touch || e.touches.length > 0) return;
    clearTimeout(touch.timer);
    const t = e.changedTouches[0];
    if (!touch.done) {
      if (touch.clientY - t.clientY > 60) {
        send(Input.Wheel, -1);
      } else {
        const [x, y] = framePoint(touch.clientX, touch.clientY);
        send(Input.MouseMove, x, y);
        send(Input.MouseDown, x, y, touch.right ? 1 : 0);
      }
    }
    touch = null;
  }, { passive: false });
  canvas.addEventListener('touchcancel', () => {
    if (touch) clearTimeout(touch.timer);
    touch = null;
  });
  // The first touch: what stands for the right button, and full screen in landscape a tap away.
  function firstTouch() {
    try {
      if (localStorage.getItem('mokuren-touch-told')) return;
      localStorage.setItem('mokuren-touch-told', '1');
    } catch (e) {
      return;
    }
    const parts = [text(T.touch), button(T.close, () => (notice.hidden = true))];
    if (!document.fullscreenElement && document.documentElement.requestFullscreen)
      parts.splice(1, 0, button(T.playFullScreen, () => {
        notice.hidden = true;
        fullScreen(true);
      }));
    showNotice(parts, 12);
  }

  // The floating message window, dragged by its bar.
  (function drag() {
    const bar = $('float-bar');
    let from = null;
    bar.addEventListener('pointerdown', (e) => {
      from = [e.clientX - floatBox.offsetLeft, e.clientY - floatBox.offsetTop];
      bar.setPointerCapture(e.pointerId);
    });
    bar.addEventListener('pointermove', (e) => {
      if (!from) return;
      floatBox.style.left = e.clientX - from[0] + 'px';
      floatBox.style.top = e.clientY - from[1] + 'px';
    });
    bar.addEventListener('pointerup', () => (from = null));
  })();

  // ---- The popup menu: the desktop's items, captions, check marks and enabled states, at the pointer,
  // kept up to date while it is open.
  function closeMenu(chosen) {
    if (!openMenu) return;
    openMenu.remove();
    openMenu = null;
    if (!chosen) send(Input.MenuClosed);
  }
  document.addEventListener('pointerdown', (e) => {
    if (openMenu && !openMenu.contains(e.target)) closeMenu();
  });
  function showMenuItems(items) {
    menuItems = items;
    if (!openMenu) return;
    openMenu.querySelectorAll('[data-item]').forEach((row) => {
      const item = items[row.dataset.item];
      row.textContent = item.caption;
      row.classList.toggle('on', item.checked);
      row.classList.toggle('off', !item.enabled);
      row.setAttribute('aria-disabled', String(!item.enabled));
      if (item.checked !== undefined) row.setAttribute('aria-checked', String(item.checked));
    });
  }
  function showMenu(m) {
    closeMenu(true);
    const r = canvas.getBoundingClientRect();
    const box = document.createElement('div');
    box.className = 'mokuren-menu';
    box.setAttribute('role', 'menu');
    m.items.forEach((item, i) => {
      if (SEPARATOR_BEFORE.has(i)) box.appendChild(document.createElement('hr'));
      const row = document.createElement('div');
      row.setAttribute('role', 'menuitemcheckbox');
      row.tabIndex = -1;
      row.dataset.item = i;
      row.addEventListener('click', () => {
        if (!menuItems[i].enabled) return;
        closeMenu(true);
        send(Input.Menu, i);
      });
      box.appendChild(row);
    });
    document.body.appendChild(box);
    openMenu = box;
    showMenuItems(m.items);
    // At the pointer, inside the page.
    const x = r.left + (m.x * r.width) / 800, y = r.top + (m.y * r.height) / 600;
    box.style.left = Math.max(0, Math.min(x, innerWidth - box.offsetWidth)) + 'px';
    box.style.top = Math.max(0, Math.min(y, innerHeight - box.offsetHeight)) + 'px';
  }

  // ---- The dialogs, as HTML <dialog>s with the forms' own texts. --------------------------------------
  function answer(form, ok, value) {
    if (worker) worker.postMessage({ t: 'dialog', form, ok, text: value || '' });
  }
  // With the on-screen keyboard up, the dialog stays in the part of the page left visible.
  function keepDialogInView() {
    const view = window.visualViewport;
    if (!openDialog || !view) return;
    const squeezed = view.height < innerHeight * 0.85;
    openDialog.style.margin = squeezed ? '0 auto' : '';
    openDialog.style.top = squeezed ? view.offsetTop + 8 + 'px' : '';
    openDialog.style.maxHeight = squeezed ? view.height - 16 + 'px' : '';
  }
  if (window.visualViewport) window.visualViewport.addEventListener('resize', keepDialogInView);

  function openForm(f) {
    test.forms.push(f.kind);
    const d = document.createElement('dialog');
    d.dataset.form = f.form;
    d.dataset.kind = f.kind;
    const title = document.createElement('h1');
    title.textContent = f.texts[0];
    const form = document.createElement('form');
    form.method = 'dialog';
    d.append(title, form);
    d.setAttribute('aria-label', f.texts[0]);
    const row = () => {
      const r = document.createElement('div');
      r.className = 'row';
      form.appendChild(r);
      return r;
    };
    if (f.kind === 'query') {
      const label = document.createElement('div');
      label.textContent = f.texts[1];
      form.appendChild(label);
      row().append(button(f.texts[2], () => answer(f.form, true)), button(f.texts[3], () => answer(f.form, false)));
      d.addEventListener('cancel', (e) => { e.preventDefault(); answer(f.form, false); });
    } else if (f.kind === 'name' || f.kind === 'comment') {
      // What may be typed here can need any character: the whole faces come meanwhile.
      if (worker) worker.postMessage({ t: 'fonts' });
      const edit = document.createElement('input');
      Object.assign(edit, { type: 'text', value: f.texts[1], name: 'edit', lang: 'ja', autocomplete: 'off',
                            spellcheck: false, enterKeyHint: 'done' });
      edit.setAttribute('autocapitalize', 'off');
      edit.setAttribute('aria-label', f.texts[0]);
      const r = row();
      r.appendChild(edit);
      if (f.kind === 'name') {
        r.appendChild(button(f.texts[2], () => answer(f.form, true, edit.value)));
        const label = document.createElement('div');
        label.className = 'label';
        label.setAttribute('role', 'alert');
        label.textContent = f.texts[3];
        form.appendChild(label);
        // The name dialog has no way out but a name it accepts.
        d.addEventListener('cancel', (e) => e.preventDefault());
      } else {
        r.append(button(f.texts[2], () => answer(f.form, true, edit.value)),
                 button(f.texts[3], () => answer(f.form, false, edit.value)));
        d.addEventListener('cancel', (e) => { e.preventDefault(); answer(f.form, false, edit.value); });
      }
      // Enter accepts, but not while the input method is still composing.
      edit.addEventListener('keydown', (e) => {
        if (e.key === 'Enter' && !e.isComposing && e.keyCode !== 229) {
          e.preventDefault();
          answer(f.form, true, edit.value);
        }
      });
    } else if (f.kind === 'config') {
      const radios = [], sliders = [];
      f.groups.forEach((caption, g) => {
        const set = document.createElement('fieldset');
        const legend = document.createElement('legend');
        legend.textContent = caption;
        set.appendChild(legend);
        f.radios.forEach((radio, i) => {
          if (radio.group !== g) return;
          const label = document.createElement('label');
          const input = document.createElement('input');
          input.type = 'radio';
          input.name = 'group' + g;
          input.checked = radio.checked;
          radios[i] = input;
          label.append(input, radio.caption);
          set.appendChild(label);
        });
        f.sliders.forEach((slider, i) => {
          if (slider.group !== g) return;
          const label = document.createElement('label');
          label.className = 'row';
          const input = document.createElement('input');
          input.type = 'range';
          input.min = 0;
          input.max = slider.max;
          input.value = slider.position;
          input.setAttribute('aria-label', slider.label || caption);
          sliders[i] = input;
          const ends = g === 3 ? f.autoEnds : f.volumeEnds;
          label.append(slider.label, ends[0], input, ends[1]);
          set.appendChild(label);
        });
        form.appendChild(set);
      });
      const settings = () =>
        radios.map((r, i) => (r.checked ? i : -1)).filter((i) => i >= 0).join(',') + ';' +
        sliders.map((s) => s.value).join(',');
      row().appendChild(button(f.texts[1], () => answer(f.form, true, settings())));
      d.addEventListener('cancel', (e) => { e.preventDefault(); answer(f.form, false); });
    }
    form.addEventListener('submit', (e) => e.preventDefault());
    document.body.appendChild(d);
    d.showModal();
    const first = d.querySelector('input[type=text]') || d.querySelector('button');
    if (first) first.focus();
    openDialog = d;
    keepDialogInView();
  }
  function closeForm(form) {
    const d = document.querySelector('dialog[data-form="' + form + '"]');
    if (d) {
      d.close();
      d.remove();
    }
    const rest = document.querySelectorAll('dialog');
    openDialog = rest.length ? rest[rest.length - 1] : null;
    canvas.focus();
  }

  // ---- The sound: an audio worklet plays what the engine's mixer gives through a port of its own;
  // browsers start audio only after the player's first press, so that press starts it.
  let audio = null;
  function startSound() {
    if (audio && audio.state !== 'running') audio.resume().catch(() => {});
    if (audio || !worker) return;
    const Context = window.AudioContext || window.webkitAudioContext;
    if (!Context) return;
    try {
      audio = new Context({ sampleRate: 44100, latencyHint: 'interactive' });
      audio.resume().catch(() => {});
      const channel = new MessageChannel();
      worker.postMessage({ t: 'audio', port: channel.port2 }, [channel.port2]);
      (audio.audioWorklet ? workletOutput(channel.port1) : processorOutput(channel.port1)).catch((e) =>
        status(say(T.noSound, { detail: e.message }), false));
      setTimeout(() => {
        if (audio.state !== 'running') showNotice([text(T.soundBlocked)], 6);
      }, 1000);
    } catch (e) {
      showNotice([text(say(T.noSound, { detail: e.message }))], 6);
    }
  }
  async function workletOutput(port) {
    await audio.audioWorklet.addModule(site.worklet);
    const node = new AudioWorkletNode(audio, 'mokuren-output', { numberOfInputs: 0, outputChannelCount: [2] });
    node.port.postMessage(port, [port]);
    node.connect(audio.destination);
  }
  // Where a page may not load a worklet (not served over HTTPS), the same on the page's thread.
  async function processorOutput(port) {
    const chunks = [];
    let offset = 0, held = 0, asked = 0;
    port.onmessage = (e) => {
      const samples = e.data instanceof Float32Array ? e.data : new Float32Array(e.data);
      chunks.push(samples);
      held += samples.length / 2;
      asked = Math.max(0, asked - samples.length / 2);
    };
    const node = audio.createScriptProcessor(2048, 0, 2);
    node.onaudioprocess = (e) => {
      const left = e.outputBuffer.getChannelData(0), right = e.outputBuffer.getChannelData(1);
      let i = 0;
      while (i < left.length && chunks.length) {
        const chunk = chunks[0];
        for (; i < left.length && offset < chunk.length / 2; ++i, ++offset) {
          left[i] = chunk[offset * 2];
          right[i] = chunk[offset * 2 + 1];
        }
        if (offset === chunk.length / 2) chunks.shift(), (offset = 0);
      }
      held -= i;
      for (; i < left.length; ++i) left[i] = right[i] = 0;
      if (held + asked < 6144) port.postMessage(4096), (asked += 4096);
    };
    node.connect(audio.destination);
  }

  // ---- The page's lifetime: the saves kept when it goes to the background (where the browser may end it
  // without a word), and the sound brought back when it returns.
  function persist() {
    if (worker) worker.postMessage({ t: 'persist' });
  }
  window.addEventListener('pagehide', persist);
  document.addEventListener('freeze', persist);
  document.addEventListener('visibilitychange', () => {
    if (document.visibilityState === 'hidden') persist();
    else if (audio && audio.state !== 'running') audio.resume().catch(() => {});
  });

  // ---- The page's own controls, behind ≡: full screen, installing, the saves exported in the desktop's
  // SAVE.DAT format and imported from one (and the saves an import replaced), a game folder of one's own.
  const toolsButton = $('tools-button'), toolsPanel = $('tools-panel'), importFile = $('import-file');
  toolsButton.setAttribute('aria-label', T.menu);
  toolsButton.title = T.menu;
  $('full-screen').textContent = T.fullScreen;
  $('install').textContent = T.install;
  $('export-saves').textContent = T.exportSaves;
  $('import-saves').textContent = T.importSaves;
  $('open-folder').textContent = T.openFolder;
  $('folder-text').textContent = T.folderText;
  $('folder-button').textContent = T.folderButton;
  function closeTools() {
    toolsPanel.hidden = true;
    toolsButton.setAttribute('aria-expanded', 'false');
  }
  toolsButton.addEventListener('click', () => {
    toolsPanel.hidden = !toolsPanel.hidden;
    toolsButton.setAttribute('aria-expanded', String(!toolsPanel.hidden));
    if (!toolsPanel.hidden && worker) worker.postMessage({ t: 'saves' });
  });
  document.addEventListener('pointerdown', (e) => {
    if (!toolsPanel.hidden && !e.target.closest('#tools')) closeTools();
  });
  function listReplaced(names) {
    const box = $('replaced');
    box.replaceChildren(...names.map((name) => {
      const m = /replaced-(\d{4})(\d\d)(\d\d)-(\d\d)(\d\d)(\d\d)/.exec(name);
      const date = m ? `${m[1]}/${m[2]}/${m[3]} ${m[4]}:${m[5]}` : name;
      return button(say(T.replaced, { date }), () => {
        closeTools();
        worker.postMessage({ t: 'export', name });
      });
    }));
  }
  // `asked`: the engine's own setting asked for it, which the browser refuses without the player's press
  // (a game closed in full screen starts so); that is no news to the player.
  async function fullScreen(on, asked = false) {
    try {
      if (on && !document.fullscreenElement) {
        await document.documentElement.requestFullscreen({ navigationUI: 'hide' });
        // A phone turns the game to landscape where the browser lets a full-screen page do so.
        if (screen.orientation && screen.orientation.lock) await screen.orientation.lock('landscape').catch(() => {});
      } else if (!on && document.fullscreenElement) {
        await document.exitFullscreen();
      }
    } catch (e) {
      if (!asked) showNotice([text(say(T.fullScreenRefused, { detail: e.message }))], 6);
    }
  }
  $('full-screen').addEventListener('click', () => {
    closeTools();
    fullScreen(!document.fullscreenElement);
  });
  let installPrompt = null;
  window.addEventListener('beforeinstallprompt', (e) => {
    e.preventDefault();
    installPrompt = e;
    $('install').hidden = false;
  });
  $('install').addEventListener('click', () => {
    closeTools();
    if (installPrompt) installPrompt.prompt();
    installPrompt = null;
    $('install').hidden = true;
  });
  $('export-saves').addEventListener('click', () => {
    closeTools();
    if (worker) worker.postMessage({ t: 'export', name: 'SAVE.DAT' });
  });
  function download(m) {
    if (m.missing) {
      showNotice([text(T.noSaves)], 6);
      return;
    }
    const url = URL.createObjectURL(new Blob([m.bytes], { type: 'application/octet-stream' }));
    const link = document.createElement('a');
    link.href = url;
    link.download = m.name;
    document.body.appendChild(link);
    link.click();
    link.remove();
    test.exported = url;
    setTimeout(() => URL.revokeObjectURL(url), 60000);
  }
  $('import-saves').addEventListener('click', () => {
    closeTools();
    importFile.click();
  });
  // The engine checks the file as it checks a SAVE.DAT it did not write and refuses a bad one, keeping the
  // saves; a good one replaces them (the old ones kept aside, exportable from ≡), and once that is in
  // IndexedDB the page starts again on it.
  let importing = '';
  importFile.addEventListener('change', async () => {
    const file = importFile.files[0];
    importFile.value = '';
    if (!file || !worker) return;
    try {
      const bytes = await file.arrayBuffer();
      importing = file.name;
      worker.postMessage({ t: 'import', bytes }, [bytes]);
    } catch (e) {
      showNotice([text(say(T.unreadable, { file: file.name, detail: e.message }))], 8);
    }
  });
  function imported(m) {
    if (m.refused) {
      test.importRefused = m.refused;
      showNotice([text(say(T.refused, { file: importing, reason: m.refused })), button(T.close, () => (notice.hidden = true))]);
    } else if (m.synced) {
      status(T.imported, false);
      location.reload();
    } else {
      status(T.notStored, true);
    }
  }
  $('open-folder').addEventListener('click', () => {
    closeTools();
    location.search = '?open';
  });

  // A game folder of the player's own: its files are read where they lie, in the engine's worker, as the
  // engine asks for them (nothing leaves the browser).
  const folderBox = $('folder'), folderInput = $('folder-input');
  $('folder-button').addEventListener('click', () => folderInput.click());
  folderInput.addEventListener('change', async () => {
    const files = [...folderInput.files];
    if (!files.length) return;
    const name = files[0].webkitRelativePath.split('/')[0] || 'game';
    folderBox.hidden = true;
    if (!(await oneTab('mokuren:' + location.pathname + ':' + name))) return;
    status(T.starting);
    test.timings.folderChosen = performance.now();
    worker.postMessage({ t: 'folder', name,
                         files: files.map((f) => ({ path: f.webkitRelativePath || name + '/' + f.name, file: f })) });
  });

  // ---- The debug window's content (?debug, or debugmode.txt in the game's folder): the status lines, the
  // buttons' dump and the error list, in a panel below the frame.
  const debugBox = $('debug'), debugErrors = $('debug-errors');

  // ---- What the engine shows (web_platform.cpp), through its worker. ------------------------------------
  const shows = {
    shown() {
      test.ready = true;
      test.timings.shown = performance.now();
    },
    cursor(shown) { canvas.classList.toggle('nocursor', !shown); },
    fullScreen(full) { fullScreen(full, true); },
    floatVisible(visible) { floatBox.hidden = !visible; },
    caption(text) {
      document.title = text;
      canvas.setAttribute('aria-label', text);
    },
    menu: showMenu,
    menuItems: showMenuItems,
    openForm,
    formLabel(f) {
      const d = document.querySelector('dialog[data-form="' + f.form + '"] .label');
      if (d) d.textContent = f.text;
    },
    closeForm,
    fatal(text) {
      failed = true;
      status(text, true);
    },
    warning(text) { showNotice([text.split ? document.createTextNode(text) : text, button(T.close, () => (notice.hidden = true))]); },
    ended() { status(T.ended, false); },
    debugVisible(d) {
      debugBox.hidden = !d.visible;
      debugShown = d.visible;
      stage.style.bottom = d.visible ? '220px' : '';
      const buttons = $('debug-buttons');
      if (!buttons.childElementCount)
        d.buttons.forEach((caption, b) => buttons.appendChild(button(caption, () => worker.postMessage({ t: 'debug', button: b }))));
      fit();
    },
    debug(d) {
      $('debug-caption').textContent = d.caption;
      $('debug-label1').textContent = d.label1;
      $('debug-label2').textContent = d.label2;
      if (d.dump) $('debug-dump').textContent = d.dump.join('\n');
      if (d.errors) {
        const lines = d.errors.join('\n');
        debugErrors.textContent = d.restart || !debugErrors.textContent ? lines : debugErrors.textContent + '\n' + lines;
        debugErrors.scrollTop = debugErrors.scrollHeight;
        test.debugErrors = debugErrors.textContent;
      }
    },
  };

  // Answers the worker gives once (the test's questions).
  const pending = {};
  const ask = (t) => new Promise((resolve) => {
    (pending[t] = pending[t] || []).push(resolve);
    worker.postMessage({ t });
  });
  test.stats = () => ask('stats');
  // The frame's pixels, as the engine last painted them (RGBA, 800 x 600).
  test.snapshot = async () => {
    const m = await ask('snapshot');
    if (m.pixels) return new Uint8ClampedArray(m.pixels);
    return canvas.getContext('2d').getImageData(0, 0, 800, 600).data;
  };

  let savingShown = false;
  function fromWorker(e) {
    const m = e.data;
    switch (m.t) {
      case 'call': shows[m.name] && shows[m.name](m.arg); break;
      case 'progress': if (!failed) progress(m.done, m.total); break;
      case 'loaded':
        test.timings.data = performance.now();
        if (!failed) status(openMode ? '' : T.starting);
        if (openMode) folderBox.hidden = false;
        break;
      case 'firstFrame':
        test.frames = 1;
        test.timings.firstFrame = performance.now();
        if (!failed) status('');
        break;
      case 'paint': {
        const context = m.which ? floatContext : mainContext;
        context.putImageData(new ImageData(new Uint8ClampedArray(m.pixels), m.w, m.h), m.x, m.y);
        break;
      }
      case 'error':
        console.warn(m.text);
        test.errors.push(m.text);
        break;
      case 'fail': fail(m.kind, m.detail); break;
      case 'synced':
        if (m.ok) test.saves++;
        else showNotice([text(T.notStored)], 8);
        break;
      case 'saves': listReplaced(m.replaced); break;
      case 'download': download(m); break;
      case 'imported': imported(m); break;
      case 'speech':
        $('speech').textContent = m.line;
        test.spoken.push(m.line);
        break;
      case 'offline':
        test.offline = m;
        if (!navigator.serviceWorker || !navigator.serviceWorker.controller) break;
        if (m.failed) {
          showNotice([text(say(T.savingFailed, { file: m.failed }))], 8);
        } else if (m.done < m.total) {
          const track = document.createElement('div');
          track.className = 'track';
          track.setAttribute('role', 'progressbar');
          track.setAttribute('aria-label', T.saving);
          track.setAttribute('aria-valuenow', Math.floor((m.done * 100) / m.total));
          track.appendChild(document.createElement('div')).style.width = (m.done * 100) / m.total + '%';
          showNotice([text(T.saving), track]);
          savingShown = true;
        } else if (savingShown) {
          showNotice([text(T.offline)], 5);
        }
        break;
      default:
        if (pending[m.t] && pending[m.t].length) pending[m.t].shift()(m);
    }
  }

  // ---- Start: storage, one tab per game, the service worker, then the engine. ------------------------
  function storageUsable() {
    return new Promise((resolve) => {
      try {
        const open = indexedDB.open('mokuren-probe');
        open.onsuccess = () => {
          open.result.close();
          resolve(true);
        };
        open.onerror = () => resolve(false);
        open.onblocked = () => resolve(true);
      } catch (e) {
        resolve(false);
      }
    });
  }
  // One tab per game: a second one is told the game is open already, fetches nothing and never writes
  // over the saves. The lock is held while the tab lives.
  async function oneTab(name) {
    if (!navigator.locks) return true;
    try {
      const granted = await new Promise((resolve, reject) => {
        navigator.locks.request(name, { ifAvailable: true }, (lock) => {
          resolve(!!lock);
          return lock ? new Promise(() => {}) : null;
        }).catch(reject);
      });
      if (!granted) {
        test.secondTab = true;
        fail('secondTab');
      }
      return granted;
    } catch (e) {
      fail('storage', e.message);
      return false;
    }
  }
  // The service worker keeps the game for play without a network; on a first visit the page waits (a
  // little) for it to take the page over, so that what the page fetches is kept as it comes.
  let updating = false;
  async function serviceWorker() {
    if (!navigator.serviceWorker || !window.isSecureContext) return;
    try {
      const registration = await navigator.serviceWorker.register('sw.js');
      const offerUpdate = () => {
        if (!registration.waiting || !navigator.serviceWorker.controller) return;
        showNotice([text(T.update), button(T.reload, () => {
          updating = true;
          persist();
          registration.waiting.postMessage('take-over');
        }), button(T.close, () => (notice.hidden = true))]);
      };
      offerUpdate();
      registration.addEventListener('updatefound', () => {
        const next = registration.installing;
        if (next) next.addEventListener('statechange', () => next.state === 'installed' && offerUpdate());
      });
      navigator.serviceWorker.addEventListener('controllerchange', () => {
        if (updating) setTimeout(() => location.reload(), 300);
      });
      if (navigator.serviceWorker.controller) return;
      await Promise.race([
        new Promise((resolve) => navigator.serviceWorker.addEventListener('controllerchange', resolve, { once: true })),
        new Promise((resolve) => setTimeout(resolve, 3000)),
      ]);
    } catch (e) {
      console.warn('service worker: ' + e.message);
    }
  }

  async function start() {
    progress(0, 1);
    if (!(await storageUsable())) return fail('storage');
    // Saves the browser may not clear when it is short of room (granted to an installed app or a page much
    // visited; asked without a question to the player).
    if (navigator.storage && navigator.storage.persist) navigator.storage.persist().catch(() => {});
    if (!openMode && !(await oneTab('mokuren:' + location.pathname))) return;
    await serviceWorker();
    if (failed) return;
    // mokuren.js runs its pixel kernels with WebAssembly SIMD, which a browser without SIMD refuses
    // (whole); there the same engine without them. The probe is one function that uses SIMD.
    const simd = WebAssembly.validate(new Uint8Array([0, 97, 115, 109, 1, 0, 0, 0, 1, 5, 1, 96, 0, 1, 123, 3, 2, 1,
                                                      0, 10, 10, 1, 8, 0, 65, 0, 253, 15, 253, 98, 11]));
    const engine = (!simd && site.scalar) || site.engine;
    // The worker resolves addresses against its own script's: it is given them whole.
    const whole = (url) => new URL(url, location.href).href;
    const files = (openMode ? site.files.filter((f) => f[0].startsWith('/fonts/')) : site.files)
      .map(([name, url, size, kind]) => [name, whole(url), size, kind]);
    const config = { urls: { [engine.wasmName]: whole(engine.wasm) }, wasm: whole(engine.wasm), wasmSize: engine.wasmSize, files, open: openMode,
                     debug: query.has('debug'), languages: languages.filter((l) => /^[A-Za-z]{2,3}([-_][A-Za-z0-9]+)*$/.test(l)).join(':') };
    test.timings.worker = performance.now();
    worker = new Worker(engine.js, { name: JSON.stringify(config) });
    let heard = false;
    worker.addEventListener('message', (e) => {
      heard = true;
      fromWorker(e);
    });
    worker.addEventListener('error', (e) => {
      e.preventDefault();
      if (!heard) fail('missing', engine.js);
      else fail('stopped', e.message);
    });
    if (canvas.transferControlToOffscreen) {
      const main = canvas.transferControlToOffscreen(), float = floatCanvas.transferControlToOffscreen();
      worker.postMessage({ t: 'canvas', main, float }, [main, float]);
      offscreen = true;
    } else {
      mainContext = canvas.getContext('2d', { alpha: false });
      floatContext = floatCanvas.getContext('2d', { alpha: false });
    }
    test.offscreen = offscreen;
  }
  start();
})();

// The page's side of the browser backend (web_platform.cpp): the canvas and its scaling, the player's
// input sent to the engine, the popup menu and the dialogs as HTML, the saves kept in IndexedDB, their
// export and import, full screen, a game folder of the player's own (?open), the debug window (?debug), and
// one tab per game. Loaded before Emscripten's runtime (--pre-js), so Module is the runtime's.
var Module = typeof Module !== 'undefined' ? Module : {};
(function () {
  'use strict';
  const Input = { MouseDown: 0, MouseMove: 1, Wheel: 2, Key: 3, Menu: 4, Close: 6 };
  const Keys = { Enter: 0, ' ': 1, PageUp: 2, PageDown: 3, F1: 4, F2: 5, Control: 6, Escape: -1 };
  const SEPARATOR_BEFORE = new Set([3, 5, 7, 8]);
  const canvas = document.getElementById('frame');
  const context = canvas.getContext('2d');
  const floatBox = document.getElementById('float');
  const floatCanvas = document.getElementById('float-frame');
  const floatContext = floatCanvas.getContext('2d');
  const stage = document.getElementById('stage');
  const status = (text, error) => window.mokurenStatus(text, error);
  const query = new URLSearchParams(location.search);
  const openMode = query.has('open');
  const test = (window.mokurenTest = { errors: [], frames: 0, saves: 0, ready: false, forms: [] });
  let scale = 1;
  let openDialog = null;
  let openMenu = null;

  // The frame fills the page: at whole factors, crisp, when it fits at least once; smoothly below that.
  function fit() {
    const s = Math.min(stage.clientWidth / 800, stage.clientHeight / 600);
    scale = s >= 1 ? Math.floor(s) : s;
    canvas.style.width = 800 * scale + 'px';
    canvas.style.height = 600 * scale + 'px';
    canvas.classList.toggle('crisp', s >= 1);
    floatCanvas.style.width = 800 * Math.min(scale, 1) + 'px';
  }
  window.addEventListener('resize', fit);
  fit();

  function send(kind, a, b, c) {
    if (Module._mokuren_input) Module._mokuren_input(kind, a | 0, b | 0, c | 0);
  }
  function framePoint(e) {
    const r = canvas.getBoundingClientRect();
    return [Math.floor(((e.clientX - r.left) * 800) / r.width), Math.floor(((e.clientY - r.top) * 600) / r.height)];
  }

  // Mouse, wheel and keys.
  canvas.addEventListener('mousemove', (e) => send(Input.MouseMove, ...framePoint(e)));
  canvas.addEventListener('mousedown', (e) => {
    e.preventDefault();
    canvas.focus();
    closeMenu();
    const button = e.button === 2 ? 1 : e.button === 1 ? 2 : 0;
    const [x, y] = framePoint(e);
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
    if (openDialog || !(e.key in Keys)) return;
    e.preventDefault();
    send(Input.Key, Keys[e.key], down ? 1 : 0);
  }
  window.addEventListener('keydown', (e) => key(e, true));
  window.addEventListener('keyup', (e) => key(e, false));

  // Touch: a tap is a click, a long press or a two-finger tap the right button, a swipe up pages the log
  // back (the wheel turned up).
  let touch = null;
  canvas.addEventListener('touchstart', (e) => {
    e.preventDefault();
    startSound();
    const t = e.touches[0];
    if (e.touches.length === 2 && touch) {
      clearTimeout(touch.timer);
      touch.right = true;
      return;
    }
    touch = { x: t.clientX, y: t.clientY, right: false, done: false };
    touch.timer = setTimeout(() => {
      touch.done = true;
      const [x, y] = framePoint(touch);
      send(Input.MouseMove, x, y);
      send(Input.MouseDown, x, y, 1);
    }, 500);
  }, { passive: false });
  canvas.addEventListener('touchend', (e) => {
    e.preventDefault();
    if (!touch || e.touches.length > 0) return;
    clearTimeout(touch.timer);
    const t = e.changedTouches[0];
    const [x, y] = framePoint(touch);
    if (!touch.done) {
      if (touch.y - t.clientY > 60) send(Input.Wheel, -1);
      else {
        send(Input.MouseMove, x, y);
        send(Input.MouseDown, x, y, touch.right ? 1 : 0);
      }
    }
    touch = null;
  }, { passive: false });

  // The floating message window, dragged by its bar.
  (function drag() {
    const bar = document.getElementById('float-bar');
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

  // The popup menu: the desktop's items, captions, check marks and enabled states, at the pointer.
  function closeMenu() {
    if (openMenu) openMenu.remove();
    openMenu = null;
  }
  document.addEventListener('mousedown', (e) => {
    if (openMenu && !openMenu.contains(e.target)) closeMenu();
  });

  function button(text, onClick) {
    const b = document.createElement('button');
    b.type = 'button';
    b.textContent = text;
    b.addEventListener('click', onClick);
    return b;
  }
  function answer(form, ok, text) {
    Module.ccall('mokuren_dialog_answer', null, ['number', 'number', 'string'], [form, ok ? 1 : 0, text || '']);
  }

  // Saves in IndexedDB: synced after every save and when the page is hidden or closed.
  // `done`, when given, runs once a sync that began after the call has ended.
  let syncing = false;
  let syncAgain = false;
  let waiting = [], waitingNext = [];
  function sync(done) {
    if (syncing) {
      syncAgain = true;
      if (typeof done === 'function') waitingNext.push(done);
      return;
    }
    if (typeof done === 'function') waiting.push(done);
    syncing = true;
    FS.syncfs(false, (err) => {
      syncing = false;
      const finished = waiting;
      waiting = waitingNext;
      waitingNext = [];
      for (const f of finished) f(err);
      if (err) {
        test.errors.push('sync: ' + err);
        status('セーブデータをブラウザに保存できませんでした。\nThe saves could not be stored in the browser.', true);
      } else {
        test.saves++;
      }
      if (syncAgain) {
        syncAgain = false;
        sync();
      }
    });
  }
  window.addEventListener('pagehide', () => { if (Module.mokurenStorage) sync(); });
  document.addEventListener('visibilitychange', () => {
    if (document.visibilityState === 'hidden' && Module.mokurenStorage) sync();
  });

  // Sound: a Web Audio node pulls the mixer's output (web_sound_device.cpp). Browsers start audio only
  // after the player's first press, so that press starts it.
  let audio = null;
  test.audioLevel = 0;
  test.audioFrames = 0;  // the frames pulled, and those the mixer had not ready (silence)
  test.audioDryFrames = 0;
  function startSound() {
    if (audio || !Module._mokuren_audio_pull) return;
    const Context = window.AudioContext || window.webkitAudioContext;
    if (!Context) return;
    try {
      audio = new Context({ sampleRate: 44100 });
      const frames = 2048;
      const ptr = Module._malloc(frames * 8);
      const node = audio.createScriptProcessor(frames, 0, 2);
      node.onaudioprocess = (e) => {
        const level = Module._mokuren_audio_pull(ptr, frames);
        const data = new Float32Array(HEAPU8.buffer, ptr, frames * 2);  // the heap may have grown
        const left = e.outputBuffer.getChannelData(0), right = e.outputBuffer.getChannelData(1);
        for (let i = 0; i < frames; ++i) {
          left[i] = data[i * 2];
          right[i] = data[i * 2 + 1];
        }
        test.audioLevel = Math.max(test.audioLevel, level);
        test.audioFrames += frames;
        test.audioDryFrames = Module._mokuren_audio_dry_frames();
      };
      node.connect(audio.destination);
      audio.resume().catch(() => {});
      setTimeout(() => {
        if (audio.state !== 'running')
          status('ブラウザが音を止めています。/ The browser blocks the sound.', false);
      }, 1000);
    } catch (e) {
      status('音を出せません: ' + e.message + '\nNo sound: ' + e.message, false);
    }
  }

  // The page's own controls, behind a button in the corner: full screen, the saves exported to a file in
  // the desktop's SAVE.DAT format and imported from one, and a game folder of the player's own.
  const toolsPanel = document.getElementById('tools-panel');
  const importFile = document.getElementById('import-file');
  const closeTools = () => (toolsPanel.hidden = true);
  document.getElementById('tools-button').addEventListener('click', () => (toolsPanel.hidden = !toolsPanel.hidden));
  document.getElementById('full-screen').addEventListener('click', () => {
    closeTools();
    if (document.fullscreenElement) document.exitFullscreen().catch(() => {});
    else document.documentElement.requestFullscreen().catch((e) => status('全画面にできません: ' + e.message +
      '\nFull screen refused: ' + e.message, false));
  });
  document.addEventListener('fullscreenchange', fit);
  function saveFile() {
    const path = Module._mokuren_save_file ? UTF8ToString(Module._mokuren_save_file()) : '';
    return path && FS.analyzePath(path).exists ? path : '';
  }
  document.getElementById('export-saves').addEventListener('click', () => {
    closeTools();
    const path = saveFile();
    if (!path) {
      status('書き出すセーブデータがまだありません。\nThere are no saves to export yet.', false);
      return;
    }
    const url = URL.createObjectURL(new Blob([FS.readFile(path)], { type: 'application/octet-stream' }));
    const link = document.createElement('a');
    link.href = url;
    link.download = 'SAVE.DAT';
    document.body.appendChild(link);
    link.click();
    link.remove();
    test.exported = url;
    setTimeout(() => URL.revokeObjectURL(url), 60000);
  });
  document.getElementById('import-saves').addEventListener('click', () => {
    closeTools();
    importFile.click();
  });
  // The engine checks the file as it checks SAVE.DAT at start-up and refuses a bad one with the same
  // words, keeping the saves; a good one replaces them (the old ones kept aside), and once that is in
  // IndexedDB the page starts again on it.
  importFile.addEventListener('change', async () => {
    const file = importFile.files[0];
    importFile.value = '';
    if (!file || !Module._mokuren_import_saves) return;
    let bytes;
    try {
      bytes = new Uint8Array(await file.arrayBuffer());
    } catch (e) {
      status(file.name + ' を読めません: ' + e.message + '\n' + file.name + ' cannot be read: ' + e.message, true);
      return;
    }
    const ptr = Module._malloc(Math.max(bytes.length, 1));
    HEAPU8.set(bytes, ptr);
    const refused = UTF8ToString(Module._mokuren_import_saves(ptr, bytes.length));
    Module._free(ptr);
    if (refused) {
      test.importRefused = refused;
      status(file.name + ': ' + refused + '\n' + file.name + ' is not a SAVE.DAT; the saves are kept as they were.', true);
      setTimeout(() => status(''), 8000);
      return;
    }
    status('セーブデータを読み込みました。ゲームを始め直します…\nSaves imported; the game starts again…', false);
    sync((err) => {
      if (err) status('セーブデータをブラウザに保存できませんでした。\nThe saves could not be stored in the browser.', true);
      else location.reload();
    });
  });
  document.getElementById('open-folder').addEventListener('click', () => {
    closeTools();
    location.search = '?open';
  });

  // A game folder of the player's own: read into memory (nothing leaves the browser), then the engine
  // starts on it. File names keep their letter case; the engine finds files in any case, as on the desktop.
  const folderBox = document.getElementById('folder');
  const folderInput = document.getElementById('folder-input');
  if (openMode) Module.noInitialRun = true;
  document.getElementById('folder-button').addEventListener('click', () => folderInput.click());
  folderInput.addEventListener('change', async () => {
    const files = [...folderInput.files];
    if (!files.length) return;
    const name = files[0].webkitRelativePath.split('/')[0] || 'game';
    folderBox.hidden = true;
    try {
      let done = 0, bytes = 0;
      for (const f of files) {
        const parts = (f.webkitRelativePath || name + '/' + f.name).split('/');
        let dir = '/local';
        for (const part of parts.slice(0, -1)) {
          dir += '/' + part;
          if (!FS.analyzePath(dir).exists) FS.mkdirTree(dir);
        }
        FS.writeFile(dir + '/' + parts[parts.length - 1], new Uint8Array(await f.arrayBuffer()));
        bytes += f.size;
        status(`読み込み中 ${++done} / ${files.length}（${(bytes / 1048576).toFixed(1)} MiB）\nReading ${done} of ${files.length}`);
      }
    } catch (e) {
      status('フォルダを読めません: ' + e.message + '\nThe folder cannot be read: ' + e.message, true);
      return;
    }
    takeLock('mokuren:' + location.pathname + ':' + name, () => {
      status('');
      callMain(['/local/' + name]);
    });
  });

  // The debug window's content (?debug, or debugmode.txt in the game's folder): the status lines, the
  // buttons' dump and the error list, in a panel below the frame.
  const debugBox = document.getElementById('debug');
  const debugErrors = document.getElementById('debug-errors');
  if (query.has('debug')) {
    Module.preRun = Module.preRun || [];
    Module.preRun.push(() => FS.writeFile('/debugmode.txt', ''));
  }

  // One tab per game: a second one is told the game is open already, and never writes over the saves.
  function takeLock(name, then) {
    if (!navigator.locks) return then();
    navigator.locks.request(name, { ifAvailable: true }, (lock) => {
      if (!lock) {
        status('このゲームはすでに別のタブで開かれています。そちらで遊んでください。\n' +
               'The game is already open in another tab.', true);
        test.secondTab = true;
        return null;
      }
      then();
      return new Promise(() => {});  // held while the tab lives
    });
  }

  Module.mokuren = {
    debugVisible(d) {
      debugBox.hidden = !d.visible;
      stage.style.bottom = d.visible ? '220px' : '';
      const buttons = document.getElementById('debug-buttons');
      if (!buttons.childElementCount)
        d.buttons.forEach((caption, b) => buttons.appendChild(button(caption, () => Module._mokuren_debug_button(b))));
      fit();
    },
    debug(d) {
      document.getElementById('debug-caption').textContent = d.caption;
      document.getElementById('debug-label1').textContent = d.label1;
      document.getElementById('debug-label2').textContent = d.label2;
      if (d.dump) document.getElementById('debug-dump').textContent = d.dump.join('\n');
      if (d.errors) {
        const text = d.errors.join('\n');
        debugErrors.textContent = d.restart || !debugErrors.textContent ? text : debugErrors.textContent + '\n' + text;
        debugErrors.scrollTop = debugErrors.scrollHeight;
        test.debugErrors = debugErrors.textContent;
      }
    },
    shown() {
      status('');
      test.ready = true;
      test.timings.shown = performance.now();
    },
    paint(which, ptr, w, h) {
      if (!test.frames) test.timings.firstFrame = performance.now();
      const pixels = new Uint8ClampedArray(HEAPU8.buffer, ptr, w * h * 4);
      (which ? floatContext : context).putImageData(new ImageData(pixels, w, h), 0, 0);
      test.frames++;
    },
    cursor(shown) { canvas.classList.toggle('nocursor', !shown); },
    fullScreen(full) {
      if (full && !document.fullscreenElement) document.documentElement.requestFullscreen().catch(() => {});
      else if (!full && document.fullscreenElement) document.exitFullscreen().catch(() => {});
    },
    floatVisible(visible) { floatBox.hidden = !visible; },
    caption(text) { document.title = text; },
    menu(m) {
      closeMenu();
      const r = canvas.getBoundingClientRect();
      const box = document.createElement('div');
      box.className = 'mokuren-menu';
      box.setAttribute('role', 'menu');
      m.items.forEach((item, i) => {
        if (SEPARATOR_BEFORE.has(i)) box.appendChild(document.createElement('hr'));
        const row = document.createElement('div');
        row.setAttribute('role', 'menuitem');
        row.dataset.item = i;
        row.textContent = item.caption;
        if (item.checked) row.classList.add('on');
        if (!item.enabled) row.classList.add('off');
        row.addEventListener('click', () => {
          if (!item.enabled) return;
          closeMenu();
          send(Input.Menu, i);
        });
        box.appendChild(row);
      });
      box.style.left = r.left + (m.x * r.width) / 800 + 'px';
      box.style.top = r.top + (m.y * r.height) / 600 + 'px';
      document.body.appendChild(box);
      openMenu = box;
    },
    openForm(f) {
      test.forms.push(f.kind);
      const d = document.createElement('dialog');
      d.dataset.form = f.form;
      d.dataset.kind = f.kind;
      const title = document.createElement('h1');
      title.textContent = f.texts[0];
      const form = document.createElement('form');
      form.method = 'dialog';
      d.append(title, form);
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
        const edit = document.createElement('input');
        edit.type = 'text';
        edit.value = f.texts[1];
        edit.name = 'edit';
        const r = row();
        r.appendChild(edit);
        if (f.kind === 'name') {
          r.appendChild(button(f.texts[2], () => answer(f.form, true, edit.value)));
          const label = document.createElement('div');
          label.className = 'label';
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
          if (e.key === 'Enter' && !e.isComposing) {
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
    },
    formLabel(f) {
      const d = document.querySelector('dialog[data-form="' + f.form + '"] .label');
      if (d) d.textContent = f.text;
    },
    closeForm(form) {
      const d = document.querySelector('dialog[data-form="' + form + '"]');
      if (d) {
        d.close();
        d.remove();
      }
      const rest = document.querySelectorAll('dialog');
      openDialog = rest.length ? rest[rest.length - 1] : null;
      canvas.focus();
    },
    fatal(text) { status(text, true); },
    warning(text) { window.alert(text); },
    ended() {
      status('ゲームは終了しました。ページを再読み込みすると、もう一度遊べます。\nThe game has ended; reload the page to play again.');
      sync();
    },
    sync,
  };

  Module.print = (text) => console.log(text);
  Module.printErr = (text) => {
    console.warn(text);
    if (/^mokuren: /.test(text)) test.errors.push(text);
  };
  Module.canvas = canvas;
  Module.onAbort = (what) => status('ゲームが異常終了しました: ' + what + '\nThe game stopped: ' + what, true);
  Module.setStatus = (text) => { if (text) status(text); };
  Module.preRun = Module.preRun || [];
  // When the page got where (ms since navigation), for the first frame's measurement.
  test.timings = {};
  Module.preRun.push(() => (test.timings.runtime = performance.now()));
  Module.onRuntimeInitialized = () => {
    test.timings.data = performance.now();
    if (openMode) {
      status('');
      folderBox.hidden = false;
    }
  };
  Module.preRun.push(() => {
    // The bundled game is taken at once; a folder of the player's own once it is chosen (above).
    if (!openMode) {
      addRunDependency('mokuren-lock');
      takeLock('mokuren:' + location.pathname, () => removeRunDependency('mokuren-lock'));
    }
    // The saves: the player's data folder, kept in IndexedDB.
    FS.mkdir('/saves');
    ENV.XDG_DATA_HOME = '/saves';
    ENV.HOME = '/saves';
    // Translations: the compiled copies packed beside the game (/cache/mokuren/translations), chosen as the
    // desktop chooses by LANGUAGE: ?lang=LL, else the browser's languages in its order ("ja" plays the
    // original).
    ENV.XDG_CACHE_HOME = '/cache';
    const languages = query.get('lang') ? [query.get('lang')] : (navigator.languages || [navigator.language || '']);
    ENV.LANGUAGE = languages.filter((l) => /^[A-Za-z]{2,3}([-_][A-Za-z0-9]+)*$/.test(l)).join(':');
    try {
      FS.mount(IDBFS, {}, '/saves');
    } catch (e) {
      status('ブラウザの保存領域を使えないため、セーブできません。\nThe browser refused its storage: nothing can be saved.', true);
      return;
    }
    addRunDependency('mokuren-saves');
    FS.syncfs(true, (err) => {
      if (err) {
        status('ブラウザの保存領域を使えないため、セーブは残りません。\nThe browser refused its storage: saves will not be kept.', true);
      } else {
        Module.mokurenStorage = true;
      }
      removeRunDependency('mokuren-saves');
    });
  });
})();

// The engine's side of the page: the engine runs in a worker, so the page's own thread only shows frames,
// takes input and answers dialogs. Loaded before Emscripten's runtime (--pre-js), so Module is the
// runtime's. What the page tells the worker comes as messages ({t: ...}, below); what the engine shows
// (web_platform.cpp calls Module.mokuren.*) goes back as messages, except the frame, which the worker puts
// on the page's canvas itself (an OffscreenCanvas handed over) or, where the browser cannot hand one
// over, sends as pixels of the area that changed.
//
// The game's files: those the title needs are fetched before the engine starts, with their progress; the
// rest are placed in the file system at once as files whose bytes come on the first read (a synchronous
// request, which a worker may make) and are fetched in the background after the first frame, so that a
// service worker keeps them for play without a network. The whole faces of the cut-down fonts are fetched
// only when a character needs them or a dialog may type one.
var Module = typeof Module !== 'undefined' ? Module : {};
(function () {
  'use strict';
  const config = JSON.parse(self.name || '{}');
  const post = (message, transfer) => self.postMessage(message, transfer || []);
  const call = (name, arg) => post({ t: 'call', name, arg });
  const EIO = 29;  // the C library's error number for a file that cannot be read
  let mainContext = null, floatContext = null;
  let painted = 0;
  let stopping = null;  // set when a start failure was told: nothing more is fetched

  Module.locateFile = (name) => (config.urls && config.urls[name]) || name;
  Module.print = (text) => console.log(text);
  Module.printErr = (text) => {
    console.warn(text);
    if (/^mokuren: /.test(text)) post({ t: 'error', text });
  };
  Module.onAbort = (what) => post({ t: 'fail', kind: 'stopped', detail: String(what) });
  if (config.open) Module.noInitialRun = true;

  function fail(kind, detail) {
    if (stopping) return;
    stopping = kind;
    if (fetches) fetches.abort();
    post({ t: 'fail', kind, detail });
  }

  // ---- Files ---------------------------------------------------------------------------------------
  const fetches = new AbortController();
  const lazy = [];  // [node, url, background]

  // Reads a response's body, counting its bytes as they come.
  async function body(response, counted) {
    if (!response.body || !response.body.getReader) {
      const bytes = new Uint8Array(await response.arrayBuffer());
      counted(bytes.length);
      return bytes;
    }
    const reader = response.body.getReader();
    const parts = [];
    let length = 0;
    for (;;) {
      const { done, value } = await reader.read();
      if (done) break;
      parts.push(value);
      length += value.length;
      counted(value.length);
    }
    const bytes = new Uint8Array(length);
    let at = 0;
    for (const part of parts) {
      bytes.set(part, at);
      at += part.length;
    }
    return bytes;
  }

  async function fetchFile(url, counted) {
    const response = await fetch(url, { signal: fetches.signal });
    if (!response.ok) throw Object.assign(new Error(url + ': ' + response.status), { missing: url });
    return body(response, counted);
  }

  function place(path, bytes) {
    const dir = path.slice(0, path.lastIndexOf('/')) || '/';
    FS.mkdirTree(dir);
    FS.writeFile(path, bytes, { canOwn: true });
  }

  // A file whose bytes are fetched on its first read: its size is known at once (the engine looks files
  // up and asks their size long before it reads them).
  function placeLazy(path, url, size, background) {
    const cut = path.lastIndexOf('/');
    const dir = path.slice(0, cut) || '/';
    FS.mkdirTree(dir);
    const node = FS.createFile(dir, path.slice(cut + 1), {}, true, false);
    node.contents = null;
    Object.defineProperty(node, 'usedBytes', {
      configurable: true,
      get() { return this.contents ? this.contents.length : size; },
      set(value) {},
    });
    const ops = Object.assign({}, node.stream_ops);
    ops.read = (stream, buffer, offset, length, position) => {
      fill(node, url);
      return MEMFS.stream_ops.read(stream, buffer, offset, length, position);
    };
    ops.mmap = (stream, length, position, prot, flags) => {
      fill(node, url);
      return MEMFS.stream_ops.mmap(stream, length, position, prot, flags);
    };
    node.stream_ops = ops;
    lazy.push([node, url, background]);
  }

  function fill(node, url) {
    if (node.contents) return;
    const request = new XMLHttpRequest();
    request.open('GET', url, false);
    request.responseType = 'arraybuffer';
    try {
      request.send(null);
    } catch (e) {
      request.failed = e.message;
    }
    if (request.status !== 200 || !request.response) {
      post({ t: 'error', text: 'mokuren: ' + url + ' could not be loaded (' + (request.failed || request.status) + ')' });
      throw new FS.ErrnoError(EIO);
    }
    node.contents = new Uint8Array(request.response);
  }

  // The files not needed before the title, fetched one after another once the title shows (and kept by
  // the service worker), unless the engine read them first.
  async function fetchInBackground() {
    const waiting = lazy.filter(([node, , background]) => background && !node.contents);
    const total = waiting.reduce((sum, [node]) => sum + node.usedBytes, 0);
    let done = 0, told = 0;
    for (const [node, url] of waiting) {
      if (stopping) return;
      const size = node.usedBytes;
      try {
        if (!node.contents) {
          const bytes = await fetchFile(url, () => {});
          if (!node.contents) node.contents = bytes;
        }
      } catch (e) {
        post({ t: 'offline', failed: url });
        return;
      }
      done += size;
      if (performance.now() - told > 250 || done === total) {
        told = performance.now();
        post({ t: 'offline', done, total });
      }
    }
    if (!waiting.length) post({ t: 'offline', done: 0, total: 0 });
  }

  async function fetchWholeFaces() {
    for (const [node, url, background] of lazy) {
      if (background || node.contents) continue;
      try {
        const bytes = await fetchFile(url, () => {});
        if (!node.contents) node.contents = bytes;
      } catch (e) {
        return;  // the face is fetched again when a character needs it
      }
    }
  }

  // The engine's code and the files the title needs, fetched at once and side by side, with the progress
  // of their bytes (the runtime would fetch its code first and the files only once the code is compiled).
  const firstFiles = (config.files || []).filter((f) => f[3] === 1);
  const total = firstFiles.reduce((sum, f) => sum + f[2], 0) + (config.wasmSize || 0);
  let done = 0, told = 0;
  function counted(n) {
    done += n;
    if (performance.now() - told > 100) {
      told = performance.now();
      post({ t: 'progress', done: Math.min(done, total), total });
    }
  }
  const fetched = [];
  const queue = firstFiles.slice();
  const one = async () => {
    for (let f; (f = queue.shift());) fetched.push([f[0], await fetchFile(f[1], counted)]);
  };
  const firstFetched = Promise.all([one(), one(), one(), one()]);
  firstFetched.catch((e) => fail(e.missing ? 'missing' : 'network', e.missing || String(e.message || e)));

  Module.instantiateWasm = (imports, receive) => {
    const url = config.wasm;
    (async () => {
      const response = await fetch(url, { signal: fetches.signal, credentials: 'same-origin' });
      if (!response.ok) throw Object.assign(new Error(url + ': ' + response.status), { missing: url });
      let result;
      if (WebAssembly.instantiateStreaming && response.body && typeof TransformStream === 'function') {
        const counting = response.body.pipeThrough(new TransformStream({
          transform(chunk, controller) {
            counted(chunk.length);
            controller.enqueue(chunk);
          },
        }));
        result = await WebAssembly.instantiateStreaming(
          new Response(counting, { headers: { 'Content-Type': 'application/wasm' } }), imports);
      } else {
        result = await WebAssembly.instantiate(await body(response, counted), imports);
      }
      receive(result.instance, result.module);
    })().catch((e) => fail(e.missing ? 'missing' : 'network', e.missing || String(e.message || e)));
    return {};
  };

  // ---- The saves -----------------------------------------------------------------------------------
  // IndexedDB keeps what the file system holds once it is synced: after every save, and when the page
  // goes to the background or away. `done`, when given, runs once a sync that began after the call ends.
  let syncing = false, syncAgain = false, waiting = [], waitingNext = [];
  let storage = false;
  function sync(done) {
    if (!storage) {
      if (done) done(new Error('no storage'));
      return;
    }
    if (syncing) {
      syncAgain = true;
      if (done) waitingNext.push(done);
      return;
    }
    if (done) waiting.push(done);
    syncing = true;
    FS.syncfs(false, (err) => {
      syncing = false;
      const finished = waiting;
      waiting = waitingNext;
      waitingNext = [];
      for (const f of finished) f(err);
      post({ t: 'synced', ok: !err, detail: err ? String(err) : '' });
      if (syncAgain) {
        syncAgain = false;
        sync();
      }
    });
  }

  function saveFolder() {
    const path = Module._mokuren_save_file ? UTF8ToString(Module._mokuren_save_file()) : '';
    return path ? path.slice(0, path.lastIndexOf('/')) : '';
  }
  function savedFiles() {
    const dir = saveFolder();
    if (!dir || !FS.analyzePath(dir).exists) return { current: false, replaced: [] };
    const names = FS.readdir(dir);
    return { current: names.includes('SAVE.DAT'),
             replaced: names.filter((n) => n.startsWith('SAVE.DAT.replaced-')).sort().reverse() };
  }

  // ---- What the engine shows -----------------------------------------------------------------------
  Module.mokuren = new Proxy({
    paint(which, ptr, x, y, w, h) {
      const pixels = new Uint8ClampedArray(HEAPU8.buffer, ptr, w * h * 4);
      const context = which ? floatContext : mainContext;
      if (context) {
        context.putImageData(new ImageData(pixels, w, h), x, y);
      } else {
        const copy = pixels.slice();
        post({ t: 'paint', which, x, y, w, h, pixels: copy.buffer }, [copy.buffer]);
      }
      // The first frame: the rest of the game comes in the background from now on.
      if (!painted++) {
        post({ t: 'firstFrame' });
        if (!config.open) fetchInBackground();
      }
    },
    sync() { sync(); },
    ended() {
      sync();
      call('ended');
    },
  }, {
    get(handlers, name) { return handlers[name] || ((arg) => call(name, arg)); },
  });

  // The lines the engine's text hook writes, for the page's screen-reader line.
  function textDevice() {
    const decoder = new TextDecoder();
    let pending = '';
    const device = FS.makedev(90, 0);
    FS.registerDevice(device, {
      open(stream) { stream.seekable = false; },
      close() {},
      read() { return 0; },
      write(stream, buffer, offset, length) {
        pending += decoder.decode(buffer.subarray(offset, offset + length), { stream: true });
        let end;
        while ((end = pending.indexOf('\n')) >= 0) {
          post({ t: 'speech', line: pending.slice(0, end) });
          pending = pending.slice(end + 1);
        }
        return length;
      },
    });
    FS.mkdev('/dev/mokuren-text', device);
  }

  // ---- The sound ------------------------------------------------------------------------------------
  // The page's audio output asks through its port for frames; the mixer is brought up to the clock and
  // gives them (web_sound_device.cpp), interleaved stereo.
  const sound = { frames: 0, level: 0 };
  function takeAudioPort(port) {
    let ptr = 0, room = 0;
    port.onmessage = (e) => {
      const frames = e.data | 0;
      if (frames <= 0 || !Module._mokuren_audio_pull) return;
      if (room < frames) {
        if (ptr) Module._free(ptr);
        ptr = Module._malloc(frames * 8);
        room = frames;
      }
      const level = Module._mokuren_audio_pull(ptr, frames);
      const samples = new Float32Array(HEAPU8.buffer, ptr, frames * 2).slice();
      sound.frames += frames;
      sound.level = Math.max(sound.level, level);
      port.postMessage(samples, [samples.buffer]);
    };
  }

  // ---- What the page tells the engine -------------------------------------------------------------
  const started = new Promise((resolve) => (Module.onRuntimeInitialized = resolve));
  self.onmessage = (e) => {
    const m = e.data;
    switch (m.t) {
      case 'canvas':
        mainContext = m.main.getContext('2d', { alpha: false });
        floatContext = m.float.getContext('2d', { alpha: false });
        break;
      case 'input':
        if (Module._mokuren_input) Module._mokuren_input(m.kind, m.a | 0, m.b | 0, m.c | 0);
        break;
      case 'dialog':
        Module.ccall('mokuren_dialog_answer', null, ['number', 'number', 'string'], [m.form, m.ok ? 1 : 0, m.text || '']);
        break;
      case 'debug':
        if (Module._mokuren_debug_button) Module._mokuren_debug_button(m.button);
        break;
      case 'audio':
        takeAudioPort(m.port);
        break;
      case 'persist':
        // A quit's write of SAVE.DAT, then the sync (PlayerFilesWritten); before the engine runs, the sync.
        if (Module._mokuren_persist && storage) Module._mokuren_persist();
        else sync();
        break;
      case 'saves':
        post({ t: 'saves', ...savedFiles() });
        break;
      case 'export': {
        const dir = saveFolder();
        const name = m.name || 'SAVE.DAT';
        if (!dir || !FS.analyzePath(dir + '/' + name).exists) {
          post({ t: 'download', name, missing: true });
          break;
        }
        const bytes = FS.readFile(dir + '/' + name);
        post({ t: 'download', name, bytes: bytes.buffer }, [bytes.buffer]);
        break;
      }
      case 'import': {
        if (!Module._mokuren_import_saves) break;
        const bytes = new Uint8Array(m.bytes);
        const ptr = Module._malloc(Math.max(bytes.length, 1));
        HEAPU8.set(bytes, ptr);
        const refused = UTF8ToString(Module._mokuren_import_saves(ptr, bytes.length));
        Module._free(ptr);
        if (refused) post({ t: 'imported', refused });
        else sync((err) => post({ t: 'imported', synced: !err }));
        break;
      }
      case 'folder':
        openFolder(m.name, m.files);
        break;
      case 'fonts':
        fetchWholeFaces();
        break;
      case 'stats':
        post({ t: 'stats', frames: sound.frames, level: sound.level, painted,
               dry: Module._mokuren_audio_dry_frames ? Module._mokuren_audio_dry_frames() : 0 });
        break;
      case 'snapshot': {
        if (!mainContext) {
          post({ t: 'snapshot' });
          break;
        }
        const image = mainContext.getImageData(0, 0, 800, 600);
        post({ t: 'snapshot', pixels: image.data.buffer }, [image.data.buffer]);
        break;
      }
    }
  };

  // A game folder of the player's own (?open): its files are read where they lie, as the engine asks
  // (nothing is copied into memory or sent anywhere); its names keep their letter case.
  async function openFolder(name, files) {
    await started;
    try {
      FS.mkdir('/local');
      FS.mount(WORKERFS, { blobs: files.map((f) => ({ name: f.path, data: f.file })) }, '/local');
    } catch (e) {
      post({ t: 'fail', kind: 'folder', detail: String(e.message || e) });
      return;
    }
    // The folder's texts may need any character: the whole faces come in the background.
    fetchWholeFaces();
    callMain(['/local/' + name]);
  }

  Module.preRun = Module.preRun || [];
  Module.preRun.push(() => {
    addRunDependency('mokuren-files');
    // The saves: the player's data folder, kept in IndexedDB.
    FS.mkdir('/saves');
    ENV.XDG_DATA_HOME = '/saves';
    ENV.HOME = '/saves';
    // Translations: the compiled copies packed beside the game (/cache/mokuren/translations), chosen as the
    // desktop chooses by LANGUAGE.
    ENV.XDG_CACHE_HOME = '/cache';
    ENV.LANGUAGE = config.languages || '';
    if (config.debug) FS.writeFile('/debugmode.txt', '');
    textDevice();
    const files = config.files || [];
    for (const [path, url, size, kind] of files) if (kind !== 1) placeLazy(path, url, size, kind === 0);
    let saves = null;
    try {
      FS.mount(IDBFS, {}, '/saves');
      saves = new Promise((resolve) => FS.syncfs(true, (err) => resolve(!err)));
    } catch (e) {
      saves = Promise.resolve(false);
    }
    Promise.all([saves, firstFetched]).then(([kept]) => {
      if (!kept) return fail('storage');
      storage = true;
      for (const [path, bytes] of fetched) place(path, bytes);
      post({ t: 'progress', done: total, total });
      post({ t: 'loaded' });
      removeRunDependency('mokuren-files');
    }, () => {});  // told where it was fetched
  });
})();

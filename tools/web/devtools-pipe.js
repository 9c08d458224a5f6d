// Debian's chromium, headless, driven through the DevTools protocol over its pipe (no library needed), and
// a folder served over HTTP as a static site serves it (static-server.js): what the browser test and the
// benches share.
'use strict';
const { spawn } = require('child_process');
const fs = require('fs');
const os = require('os');
const path = require('path');
const { serve } = require('./static-server');

// The DevTools protocol: JSON messages ended by a NUL byte, written to the browser's fd 3, read from fd 4.
class Browser {
  constructor() {
    this.profile = fs.mkdtempSync(path.join(os.tmpdir(), 'mokuren-browser-'));
    // Without the networking flags the browser's own connections (updates, sync, QUIC) wait on a closed
    // network.
    this.proc = spawn('chromium', ['--headless=new', '--remote-debugging-pipe', '--no-first-run', '--no-sandbox',
      '--disable-gpu', '--mute-audio', '--disable-quic', '--disable-background-networking', '--disable-component-update',
      '--disable-sync', `--user-data-dir=${this.profile}`, 'about:blank'],
      { stdio: ['ignore', 'ignore', 'pipe', 'pipe', 'pipe'] });
    // The browser's last lines of error output, to say why it went away if it does.
    this.stderr = '';
    this.proc.stderr.on('data', (chunk) => (this.stderr = (this.stderr + chunk.toString('utf8')).slice(-2000)));
    this.next = 1;
    this.waiting = new Map();
    this.listeners = [];
    // A browser that cannot start or that ends fails every command still waiting for its answer, naming it,
    // instead of leaving the caller waiting for ever.
    this.gone = null;
    const fail = (why) => {
      if (this.gone) return;
      this.gone = why;
      const last = this.stderr.trim().split('\n').slice(-3).join(' | ');
      for (const [, { method, reject }] of this.waiting) reject(new Error(`${method}: ${why}${last ? ' (its last words: ' + last + ')' : ''}`));
      this.waiting.clear();
    };
    this.proc.on('error', (e) => fail(`chromium could not be started: ${e.message} (./dev test-web installs it)`));
    this.proc.on('exit', (code, signal) => fail(`chromium ended (${signal || 'status ' + code}) before answering`));
    for (const fd of [3, 4]) this.proc.stdio[fd].on('error', (e) => fail(`chromium's pipe failed: ${e.message}`));
    let buffered = '';
    this.proc.stdio[4].on('data', (chunk) => {
      buffered += chunk.toString('utf8');
      let end;
      while ((end = buffered.indexOf('\0')) >= 0) {
        const message = JSON.parse(buffered.slice(0, end));
        buffered = buffered.slice(end + 1);
        if (message.id && this.waiting.has(message.id)) {
          const { resolve, reject } = this.waiting.get(message.id);
          this.waiting.delete(message.id);
          message.error ? reject(new Error(JSON.stringify(message.error))) : resolve(message.result);
        } else {
          for (const l of this.listeners) l(message);
        }
      }
    });
  }
  // A command's answer; one the browser does not answer within `ms` fails, naming the command.
  send(method, params = {}, sessionId, ms = 60000) {
    if (this.gone) return Promise.reject(new Error(`${method}: ${this.gone}`));
    const id = this.next++;
    const message = { id, method, params };
    if (sessionId) message.sessionId = sessionId;
    this.proc.stdio[3].write(JSON.stringify(message) + '\0');
    return new Promise((resolve, reject) => {
      const timer = setTimeout(() => {
        this.waiting.delete(id);
        reject(new Error(`${method}: chromium did not answer within ${ms / 1000} s`));
      }, ms);
      const settle = (f) => (v) => { clearTimeout(timer); f(v); };
      this.waiting.set(id, { method, resolve: settle(resolve), reject: settle(reject) });
    });
  }
  // A new tab: its session's sender.
  async open() {
    const { targetId } = await this.send('Target.createTarget', { url: 'about:blank' });
    const { sessionId } = await this.send('Target.attachToTarget', { targetId, flatten: true });
    return { sessionId, page: (method, params) => this.send(method, params, sessionId) };
  }
  async close() {
    if (this.proc.exitCode === null && this.proc.signalCode === null && this.proc.pid !== undefined) {
      const exited = new Promise((r) => this.proc.once('exit', r));
      this.proc.kill();
      await exited;
    }
    // The browser's helper processes may still be writing into the profile for a moment after it exits:
    // try again a little later, and never let the clean-up cost a run its results.
    for (let attempt = 1; ; ++attempt) {
      try {
        fs.rmSync(this.profile, { recursive: true, force: true, maxRetries: 5 });
        return;
      } catch (e) {
        if (attempt === 10) {
          console.warn(`devtools-pipe: ${this.profile} was left behind: ${e.message}`);
          return;
        }
        await new Promise((r) => setTimeout(r, 200));
      }
    }
  }
}

module.exports = { Browser, serve };

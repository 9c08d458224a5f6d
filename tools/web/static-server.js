// A folder served over HTTP as a well-set static host serves a Mokuren site (tools/web/mokuren-web-pack):
// the brotli or gzip copy beside a file when the browser takes it, a year's caching for the files named by
// their content (files/), revalidation for the rest, and answers of 304 to a browser that has a file
// already. What the browser test, the benches, Lighthouse's check and "./dev web" serve with.
'use strict';
const fs = require('fs');
const http = require('http');
const path = require('path');

const TYPES = { '.html': 'text/html; charset=utf-8', '.js': 'text/javascript', '.wasm': 'application/wasm',
  '.css': 'text/css', '.png': 'image/png', '.json': 'application/json', '.webmanifest': 'application/manifest+json',
  '.ttf': 'font/ttf', '.ogg': 'audio/ogg', '.ogv': 'video/ogg', '.txt': 'text/plain; charset=utf-8',
  '.po': 'text/plain; charset=utf-8' };

// Serves `dir` on 127.0.0.1 (a free port unless `port`). `extra` maps a URL path to a file outside the folder;
// `onSent(urlPath, bytes)` hears of every body sent, as it went on the wire. Resolves to { server, address,
// stop }; stop() closes the server and every connection it holds.
async function serve(dir, { extra = {}, port = 0, host = '127.0.0.1', onSent = null } = {}) {
  dir = path.resolve(dir);
  const sockets = new Set();
  const server = http.createServer((req, res) => {
    if (req.method !== 'GET' && req.method !== 'HEAD') return res.writeHead(405).end();
    let url;
    try {
      url = decodeURIComponent(new URL(req.url, 'http://x').pathname);
    } catch (e) {
      return res.writeHead(400).end();
    }
    let file = extra[url] || path.join(dir, url);
    if (!extra[url] && !(file + path.sep).startsWith(dir + path.sep) && file !== dir) return res.writeHead(403).end();
    if (url.endsWith('/')) file = path.join(file, 'index.html');
    fs.stat(file, (err, stat) => {
      if (err || !stat.isFile()) return res.writeHead(404, { 'Content-Type': 'text/plain' }).end('not found');
      const accepted = String(req.headers['accept-encoding'] || '');
      let body = file, encoding = null;
      for (const [name, suffix] of [['br', '.br'], ['gzip', '.gz']]) {
        if (new RegExp('\\b' + name + '\\b').test(accepted) && fs.existsSync(file + suffix)) {
          body = file + suffix;
          encoding = name;
          break;
        }
      }
      const size = body === file ? stat.size : fs.statSync(body).size;
      const tag = `"${stat.size.toString(16)}-${Math.floor(stat.mtimeMs).toString(16)}${encoding ? '-' + encoding : ''}"`;
      const headers = {
        'Content-Type': TYPES[path.extname(file).toLowerCase()] || 'application/octet-stream',
        'Cache-Control': url.startsWith('/files/') ? 'public, max-age=31536000, immutable' : 'no-cache',
        'ETag': tag,
        'Vary': 'Accept-Encoding',
        'X-Content-Type-Options': 'nosniff',
      };
      if (encoding) headers['Content-Encoding'] = encoding;
      if (req.headers['if-none-match'] === tag) return res.writeHead(304, headers).end();
      headers['Content-Length'] = size;
      res.writeHead(200, headers);
      if (req.method === 'HEAD') return res.end();
      const stream = fs.createReadStream(body);
      stream.pipe(res);
      stream.on('end', () => onSent && onSent(url, size));
    });
  });
  server.on('connection', (socket) => {
    sockets.add(socket);
    socket.on('close', () => sockets.delete(socket));
  });
  await new Promise((resolve, reject) => {
    server.once('error', reject);
    server.listen(port, host, resolve);
  });
  const stop = () => new Promise((resolve) => {
    for (const socket of sockets) socket.destroy();
    server.close(() => resolve());
  });
  return { server, address: `http://${host}:${server.address().port}/`, stop };
}

module.exports = { serve };

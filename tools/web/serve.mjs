// serve.mjs: a small static web server for the browser build. It serves one directory on
// 127.0.0.1, gzip-compressed whenever the browser accepts it, as a web server would.
//
//   node tools/web/serve.mjs DIR [PORT]      (port 8000 by default; 0 picks a free one)
import { readFile } from 'node:fs/promises';
import { createServer } from 'node:http';
import { extname, join, normalize } from 'node:path';
import { pathToFileURL } from 'node:url';
import { gzipSync } from 'node:zlib';

const TYPES = {
  '.html': 'text/html; charset=utf-8',
  '.js': 'text/javascript',
  '.wasm': 'application/wasm',
  '.webmanifest': 'application/manifest+json',
  '.png': 'image/png',
};

async function answer(dir, request, response) {
  const path = normalize(decodeURIComponent(new URL(request.url, 'http://host').pathname));
  const file = join(dir, path.endsWith('/') ? `${path}index.html` : path);
  let body;
  try {
    body = await readFile(file);
  } catch {
    response.writeHead(404).end();
    return;
  }
  const headers = {
    'Content-Type': TYPES[extname(file)] ?? 'application/octet-stream',
    'Cache-Control': 'no-cache',
  };
  if (/\bgzip\b/.test(request.headers['accept-encoding'] ?? '')) {
    body = gzipSync(body);
    headers['Content-Encoding'] = 'gzip';
  }
  response.writeHead(200, headers).end(body);
}

// Resolves to the listening server; its address().port is the port.
export function serve(dir, port) {
  const server = createServer((request, response) => answer(dir, request, response));
  return new Promise((resolve, reject) => {
    server.on('error', reject);
    server.listen(port, '127.0.0.1', () => resolve(server));
  });
}

if (process.argv[1] && import.meta.url === pathToFileURL(process.argv[1]).href) {
  const [dir, port = '8000'] = process.argv.slice(2);
  const server = await serve(dir, Number(port));
  console.log(`Serving ${dir} on http://127.0.0.1:${server.address().port}/ until stopped`);
}

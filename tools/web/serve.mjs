// A static file server for the site on 127.0.0.1: GET and HEAD of the files below one folder,
// with the content types the pages need (the .wasm files must come as application/wasm).
// As a program: node serve.mjs <folder> [port]   (port 0 picks a free one)
import { createReadStream } from 'node:fs';
import { stat } from 'node:fs/promises';
import { createServer } from 'node:http';
import { extname, join, normalize, resolve, sep } from 'node:path';
import { fileURLToPath } from 'node:url';

const TYPES = {
  '.html': 'text/html; charset=utf-8',
  '.js': 'text/javascript; charset=utf-8',
  '.mjs': 'text/javascript; charset=utf-8',
  '.wasm': 'application/wasm',
  '.png': 'image/png',
  '.css': 'text/css; charset=utf-8',
  '.txt': 'text/plain; charset=utf-8',
  '.svg': 'image/svg+xml',
  '.webmanifest': 'application/manifest+json',
};

// The file below `root` that `urlPath` names, or null when it names none or leaves the folder.
export function resolvePath(root, urlPath) {
  let path;
  try {
    path = decodeURIComponent(urlPath.split('?')[0].split('#')[0]);
  } catch {
    return null;
  }
  if (path.includes('\0')) return null;
  if (path.endsWith('/')) path += 'index.html';
  const full = normalize(join(root, path));
  return full === root || full.startsWith(root + sep) ? full : null;
}

// Starts serving `folder` on 127.0.0.1:`port`; resolves to { server, url } once it listens.
export function serve(folder, port = 0) {
  const root = resolve(folder);
  const server = createServer(async (request, response) => {
    const send = (status, text) => {
      response.writeHead(status, { 'content-type': 'text/plain; charset=utf-8' });
      response.end(request.method === 'HEAD' ? undefined : text + '\n');
    };
    if (request.method !== 'GET' && request.method !== 'HEAD') return send(405, 'method not allowed');
    const file = resolvePath(root, request.url ?? '/');
    if (file === null) return send(404, 'not found');
    let info;
    try {
      info = await stat(file);
    } catch {
      return send(404, 'not found');
    }
    if (!info.isFile()) return send(404, 'not found');
    response.writeHead(200, {
      'content-type': TYPES[extname(file)] ?? 'application/octet-stream',
      'content-length': info.size,
      'cache-control': 'no-cache',
    });
    if (request.method === 'HEAD') return response.end();
    createReadStream(file).on('error', () => response.destroy()).pipe(response);
  });
  return new Promise((resolvePromise, reject) => {
    server.once('error', reject);
    server.listen(port, '127.0.0.1', () => {
      const { port: bound } = server.address();
      resolvePromise({ server, url: `http://127.0.0.1:${bound}/` });
    });
  });
}

if (process.argv[1] && resolve(process.argv[1]) === fileURLToPath(import.meta.url)) {
  const [folder, port] = process.argv.slice(2);
  if (!folder) {
    console.error('usage: node serve.mjs <folder> [port]');
    process.exit(2);
  }
  const { url } = await serve(folder, Number(port ?? 8000));
  console.log(`serving ${resolve(folder)} at ${url}  (Ctrl+C ends)`);
}

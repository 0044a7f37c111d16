// serve: a small static server for the page, on 127.0.0.1 only (never another interface).
// `node serve.mjs [DIR] [PORT]` serves DIR (build/web) and prints the address; the browser
// tests import serve() and use a free port.
import fs from 'node:fs';
import http from 'node:http';
import path from 'node:path';
import {fileURLToPath} from 'node:url';

const TYPES = {
    '.html': 'text/html; charset=utf-8',
    '.js': 'text/javascript; charset=utf-8',
    '.mjs': 'text/javascript; charset=utf-8',
    '.css': 'text/css; charset=utf-8',
    '.png': 'image/png',
    '.wasm': 'application/wasm',
};

export function serve(dir, port = 0) {
    const root = path.resolve(dir);
    const server = http.createServer((request, response) => {
        const url = new URL(request.url, 'http://127.0.0.1');
        let name = decodeURIComponent(url.pathname);
        if (name.endsWith('/')) {
            name += 'index.html';
        }
        const file = path.resolve(root, `.${name}`);
        if (!file.startsWith(root + path.sep) || !fs.existsSync(file) || !fs.statSync(file).isFile()) {
            response.writeHead(404, {'content-type': 'text/plain'});
            response.end('not found');
            return;
        }
        response.writeHead(200, {
            'content-type': TYPES[path.extname(file)] || 'application/octet-stream',
            'cache-control': 'no-cache',
        });
        fs.createReadStream(file).pipe(response);
    });
    return new Promise((resolve, reject) => {
        server.once('error', reject);
        server.listen(port, '127.0.0.1', () => resolve(server));
    });
}

if (process.argv[1] === fileURLToPath(import.meta.url)) {
    const dir = process.argv[2] || 'build/web';
    const port = Number(process.argv[3] || 8019);
    if (!fs.existsSync(path.join(dir, 'index.html'))) {
        console.error(`serve: ${dir}/index.html is missing: run make web first`);
        process.exit(1);
    }
    const server = await serve(dir, port);
    console.log(`The page is at http://127.0.0.1:${server.address().port}/ (Ctrl+C stops)`);
}

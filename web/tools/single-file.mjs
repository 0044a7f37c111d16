// single-file: writes the page as one self-contained HTML file that works opened from disk
// (file://, offline): the style sheet inlined, the classic scripts (the WebAssembly core with
// its wasm embedded, the drawing library, its start hook) inlined, and the page's own modules
// joined into one inline module. Browsers refuse module scripts and fetch() of other local
// files under file://, but run inline scripts. Usage: node single-file.mjs SITE_DIR OUT_FILE
import fs from 'node:fs';
import path from 'node:path';

const [site, out] = process.argv.slice(2);
const read = (name) => fs.readFileSync(path.join(site, name), 'utf8');

// The page's modules in an order where each comes after what it imports.
const MODULES = ['util.js', 'rows.js', 'sets.js', 'drawing.js', 'app.js'];

// inlineScript guards an inline script's text against ending its element early.
function inlineScript(text) {
    if (/<!--/.test(text)) {
        throw new Error('an inline script may not hold "<!--"');
    }
    return text.replace(/<\/script/gi, '<\\/script');
}

// joinModules makes one module of the page's modules: their imports of each other go, and so
// does each "export" keyword (their top-level names do not clash).
function joinModules() {
    return MODULES.map((name) => {
        const text = read(name)
            .replace(/^import\s[^;]*from\s+'\.\/[^']+';\n/gm, '')
            .replace(/^export\s+/gm, '');
        if (/^\s*import\s/m.test(text)) {
            throw new Error(`${name} imports something the single file cannot hold`);
        }
        return `// ---- ${name} ----\n${text}`;
    }).join('\n');
}

let html = read('index.html');
html = html.replace('<link rel="stylesheet" href="style.css">', () => `<style>\n${read('style.css')}</style>`);
html = html.replace(/<script src="([^"]+)"><\/script>/g,
                    (_, name) => `<script>\n${inlineScript(read(name))}\n</script>`);
html = html.replace('<script type="module" src="app.js"></script>',
                    () => `<script type="module">\n${inlineScript(joinModules())}\n</script>`);
if (/\s(src|href)="(?!#)/.test(html.replace(/<script[\s\S]*?<\/script>/g, ''))) {
    throw new Error('the single file still refers to another file');
}
fs.writeFileSync(out, html);

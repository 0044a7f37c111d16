// util: small helpers of the page: finding elements, saving bytes as a download, showing a
// status. No rule lives here or anywhere in the page's JavaScript: checks, respelling and
// report texts all come from the WebAssembly core.

export function $(id) {
    return document.getElementById(id);
}

// download hands bytes (a Uint8Array or a string) to the browser as a file.
export function download(bytes, name, type) {
    const blob = new Blob([bytes], {type});
    const url = URL.createObjectURL(blob);
    const link = document.createElement('a');
    link.href = url;
    link.download = name;
    document.body.append(link);
    link.click();
    link.remove();
    setTimeout(() => URL.revokeObjectURL(url), 60000);
}

// setStatus shows the page's state; tests wait on data-state ("ready", "busy", "done",
// "error") rather than on a time.
export function setStatus(state, text) {
    const status = $('status');
    status.dataset.state = state;
    status.textContent = text;
    document.body.dataset.state = state;
}

// readFile answers a File's bytes.
export async function readFile(file) {
    return new Uint8Array(await file.arrayBuffer());
}

export function element(tag, text, attributes = {}) {
    const node = document.createElement(tag);
    if (text !== undefined) {
        node.textContent = text;
    }
    for (const [key, value] of Object.entries(attributes)) {
        node.setAttribute(key, value);
    }
    return node;
}

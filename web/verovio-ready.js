// verovio-ready: a classic script run right after the drawing library's, before its
// WebAssembly can have started (that happens asynchronously), so that the page learns when
// the library is ready: globalThis.verovioReady resolves then.
globalThis.verovioReady = new Promise((resolve) => {
    globalThis.verovio.module.onRuntimeInitialized = resolve;
});

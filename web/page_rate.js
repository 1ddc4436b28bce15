// The rate the page runs the plugin at, in samples per second: the client's capture rate.
// Sound files are resampled to it, and the live voice asks the browser's audio for it.
export const kRate = 48000;

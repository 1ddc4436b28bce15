// The live processor's report to the page: one array of doubles, shared where the page
// is cross-origin isolated, posted every few quanta where it is not.

export const kStats = {
    quanta: 0,              // render quanta processed since the start
    blocks: 1,              // plugin blocks completed since the start
    missedQuanta: 2,        // quanta the audio thread skipped (gaps in currentFrame)
    inputPeak: 3,           // falling peak level, 0..1 of full scale
    outputPeak: 4,
    inputClipUntil: 5,      // the clip light is on until this quantum
    outputClipUntil: 6,
    recordDropped: 7,       // samples left out of a recording: no free chunk to hold them
};
export const kStatsLength = Object.keys(kStats).length;

// How the peer scripts time a package: fn runs in batches for the wall
// time, in four slices, and the calls per second of the best slice count, so
// that a moment of load elsewhere on the machine does not count against the
// package. Every result feeds a sink, so no call can be dropped as unused.
'use strict';

let sink = 0;

function rate(fn, forSeconds) {
    const batch = 200;
    const slices = 4;
    const limit = BigInt(Math.round((forSeconds / slices) * 1e9));
    let best = 0;
    for (let s = 0; s < slices; s++) {
        const start = process.hrtime.bigint();
        let calls = 0;
        let elapsed = 0n;
        do {
            for (let i = 0; i < batch; i++) sink += fn();
            calls += batch;
            elapsed = process.hrtime.bigint() - start;
        } while (elapsed < limit);
        best = Math.max(best, calls / (Number(elapsed) / 1e9));
    }
    return best;
}

// Whether the timed calls did any work at all.
function workDone() {
    return sink > 0;
}

module.exports = {rate, workDone};

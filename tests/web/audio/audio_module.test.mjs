// The page's audio module in Node: the frame header, the ADPCM decoder and
// the jitter buffer's plan, which decide what the listener hears and how late.
import assert from "node:assert/strict";
import { readFileSync } from "node:fs";
import { test } from "node:test";

import {
    HEADER_SIZE,
    JITTER_MAX_S,
    JITTER_TARGET_S,
    decodeAdpcm,
    parseFrame,
    planFrame,
} from "../../../src/web/res/audio.js";

function frame(type, sequence, micros, opus) {
    const buffer = new ArrayBuffer(HEADER_SIZE + opus.length);
    const view = new DataView(buffer);
    view.setUint8(0, type);
    view.setUint32(1, sequence);
    view.setBigInt64(5, BigInt(micros));
    new Uint8Array(buffer, HEADER_SIZE).set(opus);
    return buffer;
}

test("reads the program's frame header and refuses other messages", () => {
    const parsed = parseFrame(frame(0x01, 0xfffffffe, 1_700_000_000_123_456, [0xfc, 1]));
    assert.equal(parsed.type, 0x01);
    assert.equal(parsed.sequence, 0xfffffffe);
    assert.equal(parsed.captureMicros, 1_700_000_000_123_456);
    assert.deepEqual([...parsed.payload], [0xfc, 1]);
    const adpcm = parseFrame(frame(0x02, 7, 5, [0, 0, 0, 0x12]));
    assert.equal(adpcm.type, 0x02);
    assert.deepEqual([...adpcm.payload], [0, 0, 0, 0x12]);
    for (const other of [
        frame(0x7f, 1, 1, [0xfc]),
        frame(0x01, 1, 1, []),
        new ArrayBuffer(3),
        "text",
    ])
        assert.equal(parseFrame(other), null);
});

test("plans each frame: a buffer ahead after a gap, end to end, skipped past the ceiling", () => {
    const d = 0.01;
    const cases = [
        // queuedUntil, now, expected start (null: skipped), underrun
        { name: "first frame", queued: 0, now: 5, start: 5 + JITTER_TARGET_S, underrun: true },
        { name: "steady", queued: 5.08, now: 5.01, start: 5.08, underrun: false },
        { name: "after a stall", queued: 5.1, now: 5.3, start: 5.3 + JITTER_TARGET_S, underrun: true },
        { name: "below the ceiling", queued: 4.999 + JITTER_MAX_S, now: 5, start: 4.999 + JITTER_MAX_S, underrun: false },
        { name: "past the ceiling", queued: 5.01 + JITTER_MAX_S, now: 5, start: null },
    ];
    for (const c of cases) {
        const plan = planFrame(c.queued, c.now, d);
        if (c.start === null) {
            assert.equal(plan.drop, true, c.name);
            continue;
        }
        assert.ok(Math.abs(plan.start - c.start) < 1e-9, c.name);
        assert.ok(Math.abs(plan.queuedUntil - (c.start + d)) < 1e-9, c.name);
        assert.equal(plan.underrun, c.underrun, c.name);
    }
});

// The vectors come from the program's own encoder and decoder (see
// test_adpcm.cpp): the page must decode every block to the same samples.
test("decodes ADPCM blocks exactly as the program's decoder does", () => {
    const { cases } = JSON.parse(readFileSync(new URL("./adpcm_vectors.json", import.meta.url)));
    assert.ok(cases.length >= 5);
    for (const c of cases) {
        const block = Uint8Array.from(c.block.match(/../g), (h) => parseInt(h, 16));
        assert.deepEqual([...decodeAdpcm(block)], c.decoded, c.name);
    }
});

test("refuses an ADPCM block it cannot decode", () => {
    for (const [name, block] of [
        ["shorter than its header", [0, 16]],
        ["step index past the table", [0, 16, 89, 0x77]],
    ])
        assert.equal(decodeAdpcm(Uint8Array.from(block)), null, name);
    assert.equal(decodeAdpcm(Uint8Array.from([0, 0, 88])).length, 0);
});

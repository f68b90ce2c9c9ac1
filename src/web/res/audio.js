// Live audio for the web remote: frames from the program, decoded and
// played through Web Audio behind a short jitter buffer. Two forms:
//   Opus, decoded with WebCodecs (only in secure contexts: https, or a page
//     on localhost);
//   IMA ADPCM at 12 kHz ("compatible"), decoded here in plain JavaScript,
//     for a phone that opens the page over plain http on the house network.
//
// Each binary WebSocket message is one frame (numbers big-endian):
//   byte 0       0x01 Opus, 0x02 ADPCM
//   bytes 1..4   sequence number, from 0 when the program's encoder starts
//   bytes 5..12  capture time, microseconds since the Unix epoch
//   bytes 13..   the payload: one Opus packet, 48 kHz mono, 10 ms; or one
//                ADPCM block, 12 kHz mono, 20 ms: the predictor (2 bytes,
//                signed), the step index (1 byte), then two samples a byte,
//                the earlier one in the low four bits
//
// Usage, from the "Listen" button's click (browsers start sound only after
// a gesture):
//   const player = createAudioPlayer();
//   await player.start();            // false: read player.problem
//   send(`listen on ${player.form}`);
//   player.attach(socket);           // or player.push(arrayBuffer) per frame
//   ... player.stop();

export const OPUS_FRAME_TYPE = 0x01;
export const ADPCM_FRAME_TYPE = 0x02;
export const HEADER_SIZE = 13;
export const SAMPLE_RATE = 48000;
export const ADPCM_SAMPLE_RATE = 12000;
export const NO_WEB_AUDIO = "Audio needs a browser with Web Audio";

// The forms by the word the program knows them by: the frame type each
// comes in and the name the page shows.
export const FORMS = {
    opus: { type: OPUS_FRAME_TYPE, label: "Opus" },
    adpcm: { type: ADPCM_FRAME_TYPE, label: "compatible" },
};

// Audio held before it plays: enough to ride out a late frame or two on a
// house network, short enough to stay well under the time a listener notices.
export const JITTER_TARGET_S = 0.08;
// Past this much queued audio (after a burst of late frames) the player
// drops frames to catch up, so a stall never leaves it lagging for good.
export const JITTER_MAX_S = 0.15;

const DECODER_CONFIG = { codec: "opus", sampleRate: SAMPLE_RATE, numberOfChannels: 1 };

// Reads one frame's header; null for any other message.
export function parseFrame(buffer) {
    if (!(buffer instanceof ArrayBuffer) || buffer.byteLength <= HEADER_SIZE) return null;
    const view = new DataView(buffer);
    const type = view.getUint8(0);
    if (type !== OPUS_FRAME_TYPE && type !== ADPCM_FRAME_TYPE) return null;
    return {
        type,
        sequence: view.getUint32(1),
        captureMicros: Number(view.getBigInt64(5)),
        payload: new Uint8Array(buffer, HEADER_SIZE),
    };
}

// The standard IMA ADPCM tables: step sizes, and how each code moves the
// step index.
const STEP_SIZES = [
    7, 8, 9, 10, 11, 12, 13, 14, 16, 17, 19, 21, 23, 25, 28, 31, 34, 37, 41, 45, 50, 55, 60, 66,
    73, 80, 88, 97, 107, 118, 130, 143, 157, 173, 190, 209, 230, 253, 279, 307, 337, 371, 408,
    449, 494, 544, 598, 658, 724, 796, 876, 963, 1060, 1166, 1282, 1411, 1552, 1707, 1878, 2066,
    2272, 2499, 2749, 3024, 3327, 3660, 4026, 4428, 4871, 5358, 5894, 6484, 7132, 7845, 8630,
    9493, 10442, 11487, 12635, 13899, 15289, 16818, 18500, 20350, 22385, 24623, 27086, 29794,
    32767,
];
const INDEX_STEPS = [-1, -1, -1, -1, 2, 4, 6, 8];
const ADPCM_BLOCK_HEADER = 3;

// The samples of one ADPCM block (an Int16Array), or null for a block
// shorter than its header or with a step index out of range.
export function decodeAdpcm(block) {
    if (block.length < ADPCM_BLOCK_HEADER || block[2] >= STEP_SIZES.length) return null;
    let predictor = ((block[0] << 8) | block[1]) << 16 >> 16;
    let index = block[2];
    const out = new Int16Array(2 * (block.length - ADPCM_BLOCK_HEADER));
    let n = 0;
    const apply = (code) => {
        const step = STEP_SIZES[index];
        let difference = step >> 3;
        if (code & 4) difference += step;
        if (code & 2) difference += step >> 1;
        if (code & 1) difference += step >> 2;
        predictor += code & 8 ? -difference : difference;
        predictor = Math.max(-32768, Math.min(32767, predictor));
        index = Math.max(0, Math.min(STEP_SIZES.length - 1, index + INDEX_STEPS[code & 7]));
        out[n++] = predictor;
    };
    for (let i = ADPCM_BLOCK_HEADER; i < block.length; ++i) {
        apply(block[i] & 0x0f);
        apply(block[i] >> 4);
    }
    return out;
}

// Whether this browser can decode Opus. WebCodecs exists only in secure
// contexts (https, or a page on localhost).
export async function audioSupported() {
    if (typeof AudioDecoder === "undefined") return false;
    try {
        const answer = await AudioDecoder.isConfigSupported(DECODER_CONFIG);
        return answer.supported === true;
    } catch {
        return false;
    }
}

// The form this browser plays best: Opus where it can decode it, else the
// compatible one.
export async function chooseForm() {
    return (await audioSupported()) ? "opus" : "adpcm";
}

// Where the next frame of `duration` seconds plays, given the time the
// queued audio runs out (`queuedUntil`) and the audio clock's `now`:
// { start, queuedUntil } to play it, or { drop: true } to skip it. After a
// gap the queue starts again a jitter buffer ahead; past the buffer's
// ceiling a frame is skipped, which pulls the delay back down.
export function planFrame(queuedUntil, now, duration) {
    if (queuedUntil < now) {
        const start = now + JITTER_TARGET_S;
        return { start, queuedUntil: start + duration, underrun: true };
    }
    if (queuedUntil - now > JITTER_MAX_S) return { drop: true };
    return { start: queuedUntil, queuedUntil: queuedUntil + duration, underrun: false };
}

// A decoder this far behind is skipped past rather than left to grow a delay.
const MAX_DECODE_QUEUE = 10;

let activePlayer = null;

// The level the page is playing now, 0 to 1 (0 when not listening): what a
// test reads to know the page hears the receiver.
export function currentLevel() {
    return activePlayer ? activePlayer.level() : 0;
}

// A context at the program's rate where the browser takes one; an older
// browser only makes its own rate (buffers of any rate play in either).
function makeContext(Context) {
    try {
        return new Context({ sampleRate: SAMPLE_RATE, latencyHint: "interactive" });
    } catch {
        return new Context();
    }
}

export function createAudioPlayer() {
    let context = null;
    let analyser = null;
    let decoder = null;
    let socket = null;
    let nextTime = 0;
    let lastSequence = -1;
    // About 10 ms of sound: the level follows the audio closely.
    const samples = new Float32Array(512);
    const stats = { frames: 0, lost: 0, dropped: 0, underruns: 0, delayMs: 0 };

    // Queues one buffer of decoded sound behind the ones before it.
    function schedule(buffer, captureMicros) {
        const now = context.currentTime;
        const plan = planFrame(nextTime, now, buffer.duration);
        if (plan.drop) {
            stats.dropped += 1;
            return;
        }
        if (plan.underrun && stats.frames > 0) stats.underruns += 1;
        const node = context.createBufferSource();
        node.buffer = buffer;
        node.connect(analyser);
        node.start(plan.start);
        // How far the sound will play behind the program's input (as far as
        // the two machines' clocks agree).
        stats.delayMs = Date.now() + (plan.start - now) * 1000 - captureMicros / 1000;
        nextTime = plan.queuedUntil;
        stats.frames += 1;
    }

    function scheduleDecoded(audioData) {
        if (!context) {
            audioData.close();
            return;
        }
        const buffer = context.createBuffer(1, audioData.numberOfFrames, audioData.sampleRate);
        audioData.copyTo(buffer.getChannelData(0), { planeIndex: 0, format: "f32-planar" });
        // The decoder hands back the capture time as the timestamp.
        const captureMicros = audioData.timestamp;
        audioData.close();
        schedule(buffer, captureMicros);
    }

    function countLost(sequence) {
        if (lastSequence >= 0 && sequence > lastSequence + 1) stats.lost += sequence - lastSequence - 1;
        lastSequence = sequence;
    }

    function pushOpus(frame) {
        if (!decoder || decoder.state !== "configured") return;
        if (decoder.decodeQueueSize > MAX_DECODE_QUEUE) {
            stats.dropped += 1;
            return;
        }
        countLost(frame.sequence);
        decoder.decode(
            new EncodedAudioChunk({
                type: "key",
                // The decoder hands the timestamp back with the audio: carry
                // the capture time through it.
                timestamp: frame.captureMicros,
                data: frame.payload,
            }),
        );
    }

    // A buffer at 12 kHz where the browser takes one; older ones take no
    // rate below 22.05 kHz, so there each sample is held for four at 48 kHz.
    function adpcmBuffer(pcm) {
        let repeat = 1;
        let buffer;
        try {
            buffer = context.createBuffer(1, pcm.length, ADPCM_SAMPLE_RATE);
        } catch {
            repeat = SAMPLE_RATE / ADPCM_SAMPLE_RATE;
            buffer = context.createBuffer(1, pcm.length * repeat, SAMPLE_RATE);
        }
        const channel = buffer.getChannelData(0);
        for (let i = 0; i < channel.length; ++i) channel[i] = pcm[Math.floor(i / repeat)] / 32768;
        return buffer;
    }

    function pushAdpcm(frame) {
        const pcm = decodeAdpcm(frame.payload);
        if (!pcm || pcm.length === 0 || !context) return;
        countLost(frame.sequence);
        schedule(adpcmBuffer(pcm), frame.captureMicros);
    }

    function push(buffer) {
        const frame = parseFrame(buffer);
        if (!frame || !player.form || frame.type !== FORMS[player.form].type) return;
        if (frame.type === ADPCM_FRAME_TYPE) pushAdpcm(frame);
        else pushOpus(frame);
    }

    function onMessage(event) {
        if (event.data instanceof ArrayBuffer) push(event.data);
    }

    const player = {
        problem: "",
        // "opus" or "adpcm" once started: the form to ask the program for.
        form: "",
        stats,

        // `form` forces one; by default the best the browser can play.
        async start({ form } = {}) {
            if (context) return true;
            const Context = globalThis.AudioContext ?? globalThis.webkitAudioContext;
            if (!Context) {
                player.problem = NO_WEB_AUDIO;
                return false;
            }
            player.form = form ?? (await chooseForm());
            context = makeContext(Context);
            analyser = context.createAnalyser();
            analyser.fftSize = samples.length;
            analyser.connect(context.destination);
            if (player.form === "opus") {
                decoder = new AudioDecoder({
                    output: scheduleDecoded,
                    error: (e) => {
                        player.problem = `Audio cannot be decoded: ${e.message}`;
                    },
                });
                decoder.configure(DECODER_CONFIG);
            }
            await context.resume();
            activePlayer = player;
            return true;
        },

        attach(webSocket) {
            socket = webSocket;
            socket.binaryType = "arraybuffer";
            socket.addEventListener("message", onMessage);
        },

        push,

        // Root-mean-square level of what is playing now, 0 to 1.
        level() {
            if (!analyser) return 0;
            analyser.getFloatTimeDomainData(samples);
            let sum = 0;
            for (const s of samples) sum += s * s;
            return Math.sqrt(sum / samples.length);
        },

        stop() {
            if (activePlayer === player) activePlayer = null;
            if (socket) socket.removeEventListener("message", onMessage);
            socket = null;
            if (decoder && decoder.state !== "closed") decoder.close();
            decoder = null;
            if (context) context.close();
            context = null;
            analyser = null;
            lastSequence = -1;
            nextTime = 0;
        },
    };
    return player;
}

// Live audio for the web remote: Opus frames from the program, decoded with
// WebCodecs and played through Web Audio behind a short jitter buffer.
//
// Each binary WebSocket message that starts with the byte 0x01 is one frame
// (numbers big-endian):
//   byte 0       0x01
//   bytes 1..4   sequence number, from 0 when the program's capture starts
//   bytes 5..12  capture time, microseconds since the Unix epoch
//   bytes 13..   one Opus packet, 48 kHz mono, 10 ms
//
// Usage, from the "Listen" button's click (browsers start sound only after
// a gesture):
//   const player = createAudioPlayer();
//   await player.start();            // false: read player.problem
//   player.attach(socket);           // or player.push(arrayBuffer) per frame
//   ... player.stop();

export const OPUS_FRAME_TYPE = 0x01;
export const HEADER_SIZE = 13;
export const SAMPLE_RATE = 48000;
export const NO_WEBCODECS = "Audio needs a browser with WebCodecs";

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
    if (view.getUint8(0) !== OPUS_FRAME_TYPE) return null;
    return {
        sequence: view.getUint32(1),
        captureMicros: Number(view.getBigInt64(5)),
        opus: new Uint8Array(buffer, HEADER_SIZE),
    };
}

// Whether this browser can decode the program's audio. WebCodecs exists only
// in secure contexts (https, or a page on localhost).
export async function audioSupported() {
    if (typeof AudioDecoder === "undefined") return false;
    try {
        const answer = await AudioDecoder.isConfigSupported(DECODER_CONFIG);
        return answer.supported === true;
    } catch {
        return false;
    }
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

    function schedule(audioData, captureMicros) {
        if (!context) {
            audioData.close();
            return;
        }
        const count = audioData.numberOfFrames;
        const buffer = context.createBuffer(1, count, audioData.sampleRate);
        audioData.copyTo(buffer.getChannelData(0), { planeIndex: 0, format: "f32-planar" });
        audioData.close();
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

    function push(buffer) {
        const frame = parseFrame(buffer);
        if (!frame || !decoder || decoder.state !== "configured") return;
        if (decoder.decodeQueueSize > MAX_DECODE_QUEUE) {
            stats.dropped += 1;
            return;
        }
        if (lastSequence >= 0 && frame.sequence > lastSequence + 1)
            stats.lost += frame.sequence - lastSequence - 1;
        lastSequence = frame.sequence;
        decoder.decode(
            new EncodedAudioChunk({
                type: "key",
                // The decoder hands the timestamp back with the audio: carry
                // the capture time through it.
                timestamp: frame.captureMicros,
                data: frame.opus,
            }),
        );
    }

    function onMessage(event) {
        if (event.data instanceof ArrayBuffer) push(event.data);
    }

    const player = {
        problem: "",
        stats,

        async start() {
            if (context) return true;
            if (!(await audioSupported())) {
                player.problem = NO_WEBCODECS;
                return false;
            }
            context = new AudioContext({ sampleRate: SAMPLE_RATE, latencyHint: "interactive" });
            analyser = context.createAnalyser();
            analyser.fftSize = samples.length;
            analyser.connect(context.destination);
            decoder = new AudioDecoder({
                output: (data) => schedule(data, data.timestamp),
                error: (e) => {
                    player.problem = `Audio cannot be decoded: ${e.message}`;
                },
            });
            decoder.configure(DECODER_CONFIG);
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

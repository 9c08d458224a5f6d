// The page's sound output, on the browser's audio thread: it plays the frames the engine's mixer gives
// (interleaved stereo, through a port to the engine's worker) and asks for more while it still holds a
// tenth of a second, so the engine's worker answers long before the output runs dry. What comes too late
// is silence, never a stall.
const LOW_WATER = 4096;
const ASK = 2048;

class MokurenOutput extends AudioWorkletProcessor {
  constructor() {
    super();
    this.chunks = [];
    this.offset = 0;  // frames of chunks[0] already played
    this.queued = 0;  // frames held, and asked for but not yet come
    this.asked = 0;
    this.engine = null;
    this.port.onmessage = (e) => {
      this.engine = e.data;
      this.engine.onmessage = (m) => {
        const samples = m.data instanceof Float32Array ? m.data : new Float32Array(m.data);
        this.chunks.push(samples);
        this.queued += samples.length / 2;
        this.asked = Math.max(0, this.asked - samples.length / 2);
      };
    };
  }

  process(inputs, outputs) {
    const out = outputs[0];
    const left = out[0], right = out[1] || out[0];
    let i = 0;
    while (i < left.length && this.chunks.length) {
      const chunk = this.chunks[0];
      const frames = chunk.length / 2;
      for (; i < left.length && this.offset < frames; ++i, ++this.offset) {
        left[i] = chunk[this.offset * 2];
        right[i] = chunk[this.offset * 2 + 1];
      }
      if (this.offset === frames) {
        this.chunks.shift();
        this.offset = 0;
      }
    }
    this.queued -= i;
    for (; i < left.length; ++i) left[i] = right[i] = 0;
    if (this.engine && this.queued + this.asked < LOW_WATER) {
      this.engine.postMessage(ASK);
      this.asked += ASK;
    }
    return true;
  }
}

registerProcessor('mokuren-output', MokurenOutput);

// The page's sound on the browser's audio thread: an AudioWorkletProcessor
// that runs the sound module (quillmoor_sound.wasm: the music player and the
// sound server's ring), so the music is made where it is played and a busy
// page can't hold it up.
//
// The module's bytes come in processorOptions and are compiled here, at
// once: a worklet's scope has no fetch, and a compiled module can't be
// posted to it everywhere. The page talks to it through its port:
//   {type: 'song', bytes}   play these song bytes from their start
//   {type: 'mute', muted}   silence the output (the music keeps its time)
//   {type: 'close'}         fade out; 'faded' comes back once it has
//   {type: 'stats', id}     'stats' back: samples output, quanta with nothing
//                           to play, quanta the browser skipped...
//   {type: 'recording', id} 'recording' back: what the output played
// The module makes 16-bit samples at 44,100 Hz; a context at another rate
// gets them resampled (linear), and the console says so.
'use strict';

// What the output played, kept for the page's tests: the first seconds from
// the first song on, with where each song began in it.
const RecordedSeconds = 30;

class QuillmoorSound extends AudioWorkletProcessor {
  constructor(options) {
    super();
    const instance = new WebAssembly.Instance(new WebAssembly.Module(options.processorOptions.module), {});
    this.sound = instance.exports;
    if (this.sound._initialize) this.sound._initialize();
    this.memory = this.sound.memory;
    const streamRate = this.sound.SoundSampleRate();
    this.ratio = streamRate / sampleRate;   // module samples per output frame
    this.position = 0;                      // in the module's samples, from the last taken
    this.previous = 0;
    this.next = 0;
    this.recording = new Int16Array(streamRate * RecordedSeconds);
    this.recorded = 0;
    this.songStarts = [];
    this.songPlayed = false;
    this.firstFrame = -1;     // the audio clock's frame at the first song
    this.framesOutput = 0;    // output frames since then
    // Quanta the audio clock passed without asking for them (the browser's
    // own output fell behind: a loaded machine), apart from those the
    // module had nothing for.
    this.missedQuanta = 0;
    this.closing = false;
    this.muted = false;
    this.port.onmessage = (event) => this.message(event.data);
    if (this.ratio !== 1) {
      this.port.postMessage({ type: 'log', text: `sound: the audio context runs at ${sampleRate} Hz, ` +
                                                 `not ${streamRate}: the music is resampled to it` });
    }
  }

  message(data) {
    const sound = this.sound;
    if (data.type === 'song') {
      const bytes = new Uint8Array(data.bytes).subarray(0, sound.SoundSongCapacity());
      new Uint8Array(this.memory.buffer, sound.SoundSongBuffer(), bytes.length).set(bytes);
      this.closing = false;
      this.songPlayed = true;
      const plays = sound.SoundPlaySong(bytes.length) === 1;
      // The song is heard after what is left of the fade of the one before.
      this.songStarts.push(this.recorded + sound.SoundFadeLeft());
      this.port.postMessage({ type: 'song', plays });
    } else if (data.type === 'mute') {
      this.muted = !!data.muted;
      sound.SoundSetMuted(this.muted ? 1 : 0);
    } else if (data.type === 'close') {
      sound.SoundClose();
      this.closing = true;
    } else if (data.type === 'stats') {
      this.port.postMessage({ type: 'stats', id: data.id, stats: {
        samplesOutput: sound.SoundSamplesOutput(),
        emptyQuanta: sound.SoundEmptyQuanta(), skippedQuanta: this.missedQuanta,
        framesOutput: this.framesOutput, sampleRate, muted: this.muted, songs: this.songStarts.length,
        sinceSong: this.songStarts.length ? this.recorded - this.songStarts[this.songStarts.length - 1] : 0 } });
    } else if (data.type === 'recording') {
      const samples = this.recording.slice(0, this.recorded);
      this.port.postMessage({ type: 'recording', id: data.id, samples, starts: this.songStarts.slice() },
                            [samples.buffer]);
    }
  }

  // `count` of the module's samples, recorded as they are output.
  take(count) {
    const first = this.sound.SoundProcess(count) >> 1;
    const samples = new Int16Array(this.memory.buffer, first * 2, count);
    if (this.songPlayed && this.recorded < this.recording.length) {
      const kept = Math.min(count, this.recording.length - this.recorded);
      this.recording.set(samples.subarray(0, kept), this.recorded);
      this.recorded += kept;
    }
    return samples;
  }

  process(inputs, outputs) {
    const out = outputs[0][0];
    if (!out) return true;
    // The audio clock from the first quantum after the first song (a
    // message may come while the browser renders several quanta ahead).
    if (this.firstFrame < 0 && this.songPlayed) this.firstFrame = currentFrame;
    if (this.firstFrame >= 0) {
      // A quantum the browser never asked for played silence.
      const late = currentFrame - this.firstFrame - this.framesOutput;
      if (late >= out.length) this.missedQuanta += Math.floor(late / out.length);
      this.framesOutput = currentFrame - this.firstFrame + out.length;
    }
    if (this.ratio === 1) {
      const samples = this.take(out.length);
      for (let i = 0; i < out.length; ++i) out[i] = samples[i] / 32768;
    } else {
      // Linear between the module's samples around each output frame: the
      // frames take the module's next sample each time their position
      // passes one, floor(position + (frames - 1) * ratio) times in all, so
      // every sample taken is played and none is skipped.
      const needed = Math.floor(this.position + (out.length - 1) * this.ratio);
      const samples = this.take(needed);
      let at = 0;
      for (let i = 0; i < out.length; ++i) {
        while (this.position >= 1) {
          this.previous = this.next;
          this.next = samples[at++] / 32768;
          this.position -= 1;
        }
        out[i] = this.previous + (this.next - this.previous) * this.position;
        this.position += this.ratio;
      }
    }
    for (let channel = 1; channel < outputs[0].length; ++channel) outputs[0][channel].set(out);
    if (this.closing && this.sound.SoundFadedOut() === 1) {
      this.closing = false;
      this.port.postMessage({ type: 'faded' });
    }
    return true;
  }
}

registerProcessor('quillmoor-sound', QuillmoorSound);

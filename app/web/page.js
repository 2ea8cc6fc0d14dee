// The page around the intro: loads it, fits the picture to the window, shows
// the "click to start" overlay over the first frame, and handles fullscreen
// (double-click, F or its button), mute (M or its button) and the key hint
// (shown until the start, then behind the "?" button). Opened as a file, it
// says how to serve it instead, since a browser won't load the program then;
// where it can't run (no WebAssembly, a file that doesn't load or compile) it
// says what is wrong. On https or localhost a service worker keeps it for
// offline use.
//
// The user's own pieces come from the note button's file picker or files
// dropped anywhere on the page, before the start or after it, each taken by
// its kind as the program tells it: a .bmp is the logo, a .txt the text page,
// a .ftb or .gfx a half of the font (the two together or one at a time), and
// anything else a song (a register dump: raw 14-byte frames or "YMDX"), the
// first of a drop playing. "song=NAME", "text=NAME" and "logo=NAME" in the
// address name files on the same site, fetched (the start waits for them;
// the text page and the logo are drawn from the first frame). What became of
// each shows for a few seconds; a file that can't be used is named there
// with the reason, and the piece before stays.
//
// The sound plays on the browser's audio thread (sound_worklet.js running
// quillmoor_sound.wasm), out of reach of whatever holds up the page's own
// thread. Where the browser can't (no AudioWorklet: an old browser, or a
// page that is not a secure context), the program plays it through a
// ScriptProcessorNode as before; the console says once which path plays and
// why. window.quillmoorSound is the sound as it plays, for the tests.
//
// A "turns=N" query parameter is handed to the program as --turns=N: it then
// stops after exactly N turns (used by the tests).
'use strict';

(function () {
  const Width = 640;
  const Height = 400;

  const stage = document.getElementById('stage');
  const canvas = document.getElementById('picture');
  const start = document.getElementById('start');
  const notice = document.getElementById('notice');
  const mutedBadge = document.getElementById('muted');
  const hint = document.getElementById('hint');
  const helpButton = document.getElementById('help-button');
  const muteButton = document.getElementById('mute-button');
  const fullscreenButton = document.getElementById('fullscreen-button');
  const songButton = document.getElementById('song-button');
  const songFile = document.getElementById('song-file');
  const songBadge = document.getElementById('song');

  const query = new URLSearchParams(window.location.search);
  const args = [];
  const turns = query.get('turns');
  if (turns !== null) args.push('--turns=' + turns);

  // Which path plays the sound, and why, said once.
  const AudioContextType = window.AudioContext || window.webkitAudioContext;
  const workletMissing = !AudioContextType ? 'this browser has no Web Audio'
    : !window.isSecureContext ? 'the page is not a secure context (https or localhost), where AudioWorklet is not offered'
    : typeof AudioWorkletNode === 'undefined' ? 'this browser has no AudioWorkletNode'
    : !('audioWorklet' in AudioContextType.prototype) ? 'this browser has no audioWorklet'
    : null;
  const onAudioThread = workletMissing === null;
  if (onAudioThread) {
    args.push('--sound=worklet');
    console.log('sound: plays on the audio thread (AudioWorklet)');
  } else {
    console.log(`sound: plays through a ScriptProcessorNode on the page's thread: ${workletMissing}`);
  }
  // A phone plays the music with its ring/silent switch on silent, as a video.
  if (navigator.audioSession) {
    try { navigator.audioSession.type = 'playback'; } catch (error) { /* not settable here */ }
  }

  // Where QuillmoorPlaySong reads a chosen song, and the most of a file the
  // player reads (the bytes past it are never read, so the rest of a larger
  // file need not be copied): both the program's, asked once it has loaded.
  let SongPath = null;
  let SongBytes = Infinity;
  const SongPiece = 0;   // QuillmoorPieceOfFile's number for a song
  const PieceShownMilliseconds = 4000;
  const PieceLinesShown = 4;

  // Worked out in device pixels, so the picture covers whole screen pixels
  // and sits on them. A window that holds the picture at its own size gets
  // the largest whole multiple that fits, every picture pixel the same
  // square of screen pixels. A smaller one (a phone) gets the largest size
  // that fits, still exactly 8:5 so the pixels stay square; nearest-neighbour
  // scaling keeps them sharp.
  function fit() {
    const ratio = window.devicePixelRatio || 1;
    const area = stage.getBoundingClientRect();
    const width = area.width * ratio;
    const height = area.height * ratio;
    const fits = Math.min(width / Width, height / Height);
    let pictureWidth, pictureHeight;
    if (fits >= Math.max(1, ratio)) {
      const scale = Math.floor(fits);
      pictureWidth = Width * scale;
      pictureHeight = Height * scale;
    } else {
      const unit = Math.max(1, Math.floor(Math.min(width / 8, height / 5)));
      pictureWidth = unit * 8;
      pictureHeight = unit * 5;
    }
    // A transform rather than a CSS size: layout rounds lengths to 1/64 of
    // a CSS pixel, which is not a whole device pixel at ratios such as 1.5
    // or 3, and the picture's edges would then be blended.
    const left = Math.floor((width - pictureWidth) / 2) / ratio;
    const top = Math.floor((height - pictureHeight) / 2) / ratio;
    canvas.style.transform = `translate(${left}px, ${top}px) scale(${pictureWidth / (Width * ratio)})`;
  }

  function toggleFullscreen() {
    if (document.fullscreenElement) {
      document.exitFullscreen().catch(() => {});
    } else if (stage.requestFullscreen) {
      stage.requestFullscreen().catch(() => {});
    }
  }

  function fullscreenChanged() {
    fullscreenButton.setAttribute('aria-pressed', String(document.fullscreenElement === stage));
    fit();
  }

  // The sound on the audio thread: the context and its worklet, made on
  // the click (a browser lets a page make sound only from a user gesture),
  // the song's bytes sent to it, and the answers it sends back.
  // The audio thread's own module is asked for once the first frame is up:
  // it is wanted only from the click on, and the program's files come first.
  let workletModule = null;
  function fetchWorkletModule() {
    if (!onAudioThread || window.location.protocol === 'file:') return;
    workletModule = fetch('quillmoor_sound.wasm').then((response) => {
      if (!response.ok) throw new Error(`quillmoor_sound.wasm: HTTP ${response.status}`);
      return response.arrayBuffer();
    });
    workletModule.catch(() => {});   // said when the sound starts
  }

  const worklet = {
    context: null, node: null, ready: null, asked: 0, answers: new Map(), closed: false,
    // Plays the session's song (the intro's own or the one chosen).
    start() {
      this.closed = false;
      if (this.context && this.context.state !== 'closed') this.context.close();   // the page's, before it was left
      this.node = null;
      const context = new AudioContextType({ sampleRate: Module._QuillmoorSampleRate(), latencyHint: 'playback' });
      this.context = context;
      context.resume();
      this.ready = (async () => {
        await context.audioWorklet.addModule('sound_worklet.js');
        const module = await workletModule;
        const node = new AudioWorkletNode(context, 'quillmoor-sound', {
          numberOfInputs: 0, numberOfOutputs: 1, outputChannelCount: [1], processorOptions: { module } });
        node.port.onmessage = (event) => this.answer(event.data);
        node.connect(context.destination);
        this.node = node;
        this.send({ type: 'mute', muted: !mutedBadge.hidden });
        this.playSong();
      })().catch((error) => console.error('sound: the audio thread could not start:', error.message));
    },
    playSong() {
      if (!this.node) return;
      const bytes = Module.FS.readFile(Module.UTF8ToString(Module._QuillmoorSongPath())).slice(0, SongBytes);
      this.send({ type: 'song', bytes: bytes.buffer }, [bytes.buffer]);
    },
    send(message, transfer = []) {
      if (this.node) this.node.port.postMessage(message, transfer);
    },
    answer(data) {
      if (data.type === 'log') {
        console.log(data.text);
      } else if (data.type === 'faded') {
        if (this.closed && this.context.state !== 'closed') this.context.close();
      } else if (this.answers.has(data.id)) {
        this.answers.get(data.id)(data);
        this.answers.delete(data.id);
      }
    },
    ask(type) {
      const id = ++this.asked;
      return new Promise((resolve) => {
        this.answers.set(id, resolve);
        this.send({ type, id });
      });
    },
    // The music fades out, then the context closes.
    close() {
      if (!this.context || this.closed) return;
      this.closed = true;
      this.send({ type: 'close' });
      if (!this.node && this.context.state !== 'closed') this.context.close();
    },
  };

  // What the tests see of the sound, whichever path plays it: its context,
  // its counts (samples output, quanta that had nothing to play after the
  // start), and what it played (16-bit samples, where each song began).
  window.quillmoorSound = {
    path: onAudioThread ? 'worklet' : 'script-processor',
    get context() { return onAudioThread ? worklet.context : Module['quillmoorAudio']?.context ?? null; },
    get ready() { return onAudioThread ? worklet.node !== null : !!Module['quillmoorAudio']; },
    async stats() {
      if (onAudioThread) return (await worklet.ask('stats')).stats;
      const audio = Module['quillmoorAudio'];
      return { samplesOutput: Module._QuillmoorSoundBytesPlayed() / 2, emptyQuanta: audio ? audio.emptyQuanta : 0,
               sampleRate: audio ? audio.context.sampleRate : 0, muted: audio ? audio.gain.gain.value === 0 : false,
               songs: 1, sinceSong: audio ? audio.recording.length : 0 };
    },
    async recording() {
      if (onAudioThread) {
        const { samples, starts } = await worklet.ask('recording');
        return { samples, starts };
      }
      return { samples: Module['quillmoorAudio'].recording, starts: [0] };
    },
  };

  function toggleMute() {
    const muted = Module._QuillmoorToggleMute() !== 0;
    if (onAudioThread) worklet.send({ type: 'mute', muted });
    mutedBadge.hidden = !muted;
    muteButton.setAttribute('aria-pressed', String(muted));
  }

  function showHint(shown) {
    hint.hidden = !shown;
    helpButton.setAttribute('aria-expanded', String(shown));
  }

  function begin() {
    if (start.hidden || start.disabled) return;
    start.hidden = true;
    showHint(false);
    start.dataset.state = 'running';
    muteButton.disabled = false;
    Module._QuillmoorStart();
    if (onAudioThread) worklet.start();
  }

  // A page opened from a file may not fetch the program's .wasm and data:
  // say so, and how to serve the folder, rather than loading for ever.
  function explainServing() {
    let folder = decodeURIComponent(window.location.pathname.replace(/[^/]*$/, ''));
    if (/^\/[A-Za-z]:\//.test(folder)) folder = folder.slice(1);   // file:///C:/...
    start.hidden = true;
    start.dataset.state = 'needs-server';
    canvas.hidden = true;
    document.getElementById('controls').hidden = true;
    showHint(false);
    const lines = [
      ['p', 'This page has to be served by a web server: a browser does not let a page opened as a ' +
            'file load the intro.'],
      ['p', 'Serve its folder, for example with Python:'],
      ['code', `python3 -m http.server -d "${folder}" 8000`],
      ['p', 'then open http://localhost:8000/ in the browser.'],
    ];
    for (const [tag, text] of lines) {
      const element = document.createElement(tag);
      element.textContent = text;
      notice.appendChild(element);
    }
    notice.hidden = false;
  }

  // The badge: a line for each piece taken or refused in the last few
  // seconds, the latest last.
  let pieceShown = 0;
  function showPiece(lines) {
    const shown = songBadge.hidden ? [] : songBadge.textContent.split('\n');
    songBadge.textContent = shown.concat(lines).slice(-PieceLinesShown).join('\n');
    songBadge.hidden = false;
    clearTimeout(pieceShown);
    pieceShown = setTimeout(() => { songBadge.hidden = true; }, PieceShownMilliseconds);
  }

  // Choices are taken once the program has loaded, in the order they were
  // made, so that the latest choice of a piece is the one that stays.
  let programReady = false;
  let taking = Promise.resolve();
  function whenLoaded(take) {
    taking = taking.then(() => loaded).then(take).catch((error) => console.error(error));
    return taking;
  }

  const pieceOf = (name) => Module.ccall('QuillmoorPieceOfFile', 'number', ['string'], [name]);
  const pieceName = (piece) => Module.UTF8ToString(Module._QuillmoorPieceName(piece));

  // Why the program could not use the pieces it was given, its own paths
  // for them (`names`: path -> the user's name) put back as the user's.
  function programReasons(names) {
    let text = Module.UTF8ToString(Module._QuillmoorReasons()).trim();
    for (const [path, name] of Object.entries(names)) text = text.split(path).join(name);
    return text ? text.split('\n') : [];
  }

  // The song plays from its start; the line to show for it.
  function playSong(name, bytes, note) {
    Module.FS.writeFile(SongPath, bytes.subarray(0, SongBytes));
    if (!Module._QuillmoorPlaySong()) return `can't play ${name}`;
    if (onAudioThread) worklet.playSong();
    return '\u266a ' + name + (note ? ' ' + note : '');
  }

  // A logo, a font half or a text page, drawn from the next frame; the line
  // to show for it.
  function takePiece(piece, name, bytes) {
    const path = Module.UTF8ToString(Module._QuillmoorChosenPath(piece));
    Module.FS.writeFile(path, bytes);
    if (Module._QuillmoorTakePiece(piece)) return `${name}: ${pieceName(piece)}`;
    return programReasons({ [path]: name }).join(' ');
  }

  // Files picked or dropped together (each { name, bytes } or
  // { name, error }), each by its kind: of the songs the first plays and
  // the others are named as ignored.
  function takeFiles(files) {
    const songs = files.filter((file) => pieceOf(file.name) === SongPiece);
    const lines = [];
    for (const file of files) {
      const piece = pieceOf(file.name);
      if (file.error) {
        lines.push(`can't read ${file.name}: ${file.error}`);
      } else if (piece !== SongPiece) {
        lines.push(takePiece(piece, file.name, file.bytes));
      } else if (file === songs[0]) {
        const others = songs.length - 1;
        lines.push(playSong(file.name, file.bytes, others ? `(${others} more ignored: one song at a time)` : ''));
      }
    }
    showPiece(lines);
  }

  // Once loaded, a song need be read no further than the player reads.
  async function readFile(file) {
    try {
      const song = programReady && Number.isFinite(SongBytes) && pieceOf(file.name) === SongPiece;
      return { name: file.name, bytes: new Uint8Array(await (song ? file.slice(0, SongBytes) : file).arrayBuffer()) };
    } catch (error) {
      return { name: file.name, error: error.message };
    }
  }

  function chooseFiles(files) {
    const reading = Promise.all(Array.from(files, readFile));
    return whenLoaded(async () => takeFiles(await reading));
  }

  // A file on the same site named in the address: its bytes.
  async function fetchFromSite(path) {
    const url = new URL(path, window.location.href);
    if (url.origin !== window.location.origin) throw new Error('not on this site');
    const response = await fetch(url);
    if (!response.ok) throw new Error(`HTTP ${response.status}`);
    return new Uint8Array(await response.arrayBuffer());
  }

  const nameOf = (path) => path.replace(/^.*\//, '') || path;   // the address's parameters come decoded

  function fetchSong(path) {
    const name = nameOf(path);
    const fetching = fetchFromSite(path).then((bytes) => ({ bytes }), (error) => ({ error: error.message }));
    return whenLoaded(async () => {
      const { bytes, error } = await fetching;
      showPiece(error ? `can't load ${name}: ${error}` : playSong(name, bytes));
    });
  }

  // The text page and the logo named in the address, fetched before the
  // program starts and handed to it as "--text=FILE" and "--logo=FILE", so
  // that the first frame draws them; the lines to show for them once it has
  // started.
  const addressPieces = window.location.protocol === 'file:' ? [] : ['text', 'logo']
    .filter((option) => query.get(option) !== null)
    .map((option) => {
      const name = nameOf(query.get(option));
      const path = `/address-${option}`;
      const fetching = fetchFromSite(query.get(option)).then((bytes) => ({ bytes }),
                                                             (error) => ({ error: error.message }));
      return { option, name, path, fetching };
    });

  function handOverAddressPieces() {
    if (!addressPieces.length) return;
    Module.addRunDependency('address pieces');
    Promise.all(addressPieces.map((piece) => piece.fetching)).then((fetched) => {
      fetched.forEach(({ bytes, error }, i) => {
        addressPieces[i].error = error;
        if (!bytes) return;
        Module.FS.writeFile(addressPieces[i].path, bytes);
        args.push(`--${addressPieces[i].option}=${addressPieces[i].path}`);
      });
      Module.removeRunDependency('address pieces');   // main runs now
    });
  }

  function addressPieceLines() {
    const lines = addressPieces.filter(({ error }) => error).map(({ name, error }) => `can't load ${name}: ${error}`);
    return lines.concat(programReasons(Object.fromEntries(addressPieces.map(({ path, name }) => [path, name]))));
  }

  // The program is asked for before the page sets up its controls, which
  // run while its files arrive.
  //
  // The program built with WebAssembly SIMD where the browser has it, the
  // plain build elsewhere (Safari before 16.4). The probe is a module whose
  // one function returns a SIMD constant: valid only where SIMD is.
  function programScript() {
    const simdProbe = new Uint8Array([
      0, 97, 115, 109, 1, 0, 0, 0,        // "\0asm", version 1
      1, 5, 1, 96, 0, 1, 123,             // one type: () -> v128
      3, 2, 1, 0,                         // one function of that type
      10, 22, 1, 20, 0, 253, 12,          // its body: v128.const 0, end
      0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 11]);
    const simd = typeof WebAssembly === 'object' && WebAssembly.validate(simdProbe);
    return simd ? 'quillmoor.js' : 'quillmoor-plain.js';
  }

  let programLoaded;
  const loaded = new Promise((resolve) => { programLoaded = resolve; });
  const addressSong = window.location.protocol === 'file:' ? null : query.get('song');
  const songFromAddress = addressSong === null ? null : fetchSong(addressSong);
  // The start waits for the program and for the pieces named in the address.
  Promise.all([loaded, songFromAddress]).then(() => {
    start.disabled = false;
    start.textContent = 'Click to start';
    start.dataset.state = 'ready';
  });

  // Both builds pack the same assets into the same bytes (the build checks
  // it), so the plain one takes the SIMD one's file rather than a copy.
  const PackedAssets = 'quillmoor.data';
  const FilesNotLoaded = "The intro's files did not load: check the connection and reload the page.";
  let compiledProgram = null;   // the program's code, compiled as it arrives (fetchProgramFiles)

  window.Module = {
    arguments: args,
    print: (text) => console.log(text),
    locateFile: (path, prefix) => prefix + (path.endsWith('.data') ? PackedAssets : path),
    // The code fetchProgramFiles has been compiling while the script loaded.
    instantiateWasm: (imports, receive) => {
      compiledProgram.then((module) => WebAssembly.instantiate(module, imports)
        .then((instance) => receive(instance, module)))
        .catch((error) => (error.notLoaded ? showFailure(FilesNotLoaded, error.message) : programFailed(error)));
      return {};
    },
    // Before main: the pieces named in the address, for its first frame.
    preRun: [handOverAddressPieces],
    // After main: the first frame is on the canvas.
    postRun: [() => {
      SongPath = Module.UTF8ToString(Module._QuillmoorChosenSongPath());
      SongBytes = Module._QuillmoorSongCap();
      programReady = true;
      const lines = addressPieceLines();
      if (lines.length) showPiece(lines);
      programLoaded();
    }],
  };

  window.Module.onAbort = programFailed;
  loaded.then(() => {
    fetchWorkletModule();
    keepForOffline();
  });

  if (window.location.protocol === 'file:') {
    explainServing();
  } else if (typeof WebAssembly !== 'object') {
    showFailure('This browser cannot run WebAssembly, which the intro needs: open the page in a current ' +
                'Chrome, Edge, Firefox or Safari, with WebAssembly not turned off.');
  } else {
    const program = document.createElement('script');
    program.src = programScript();
    program.onerror = () => showFailure(`The intro's program (${program.getAttribute('src')}) did not load: ` +
                                        'check the connection and reload the page.');
    fetchProgramFiles(program.getAttribute('src'));
    document.body.appendChild(program);
  }

  const carriesFiles = (event) => event.dataTransfer && Array.from(event.dataTransfer.types).includes('Files');

  start.addEventListener('click', begin);
  // A browser may suspend the audio (another tab took the output, a phone
  // call); any later touch, click or key brings it back.
  const resumeSound = () => {
    const context = window.quillmoorSound.context;
    if (context && context.state !== 'running' && context.state !== 'closed') context.resume();
  };
  window.addEventListener('pointerdown', resumeSound);
  window.addEventListener('keydown', resumeSound);
  stage.addEventListener('dblclick', toggleFullscreen);
  // The buttons answer a click or a tap; a quick second one is not a
  // double-click on the stage.
  document.getElementById('controls').addEventListener('dblclick', (event) => event.stopPropagation());
  helpButton.addEventListener('click', () => showHint(hint.hidden));
  muteButton.addEventListener('click', () => {
    if (start.dataset.state === 'running') toggleMute();
  });
  fullscreenButton.addEventListener('click', toggleFullscreen);
  songButton.addEventListener('click', () => songFile.click());
  songFile.addEventListener('change', () => {
    if (songFile.files.length) chooseFiles(songFile.files);
    songFile.value = '';   // the same file chosen again is a choice again
  });
  // Files dropped anywhere: each taken by its kind.
  window.addEventListener('dragover', (event) => {
    if (!carriesFiles(event)) return;
    event.preventDefault();
    event.dataTransfer.dropEffect = 'copy';
  });
  window.addEventListener('drop', (event) => {
    if (!carriesFiles(event)) return;
    event.preventDefault();   // the browser would open the file in place of the page
    const files = event.dataTransfer.files;
    if (files.length && start.dataset.state !== 'needs-server') chooseFiles(files);
  });
  fullscreenButton.hidden = !document.fullscreenEnabled;
  window.addEventListener('keydown', (event) => {
    if (event.repeat || event.ctrlKey || event.altKey || event.metaKey) return;
    if (event.code === 'KeyF') {
      toggleFullscreen();
    } else if (event.code === 'KeyM' && start.dataset.state === 'running') {
      toggleMute();
    } else if ((event.code === 'Enter' || event.code === 'Space') && start.dataset.state === 'ready') {
      event.preventDefault();
      begin();
    }
  });
  window.addEventListener('resize', fit);
  document.addEventListener('fullscreenchange', fullscreenChanged);
  window.addEventListener('pagehide', () => {
    worklet.close();
    if (Module._QuillmoorClose) Module._QuillmoorClose();
  });
  // Back from the back-forward cache, closed as it was left: the overlay
  // again, and its click starts the sound and the picture again.
  window.addEventListener('pageshow', (event) => {
    if (!event.persisted || !programReady || !Module._QuillmoorReopen()) return;
    start.hidden = false;
    start.dataset.state = 'ready';
  });
  fit();

  // Starting, failing and keeping the page for offline use.

  // The program's code, packed assets and script, asked for at once rather
  // than one after the other as the script runs. The code is compiled here
  // while the script loads and is handed to it (instantiateWasm below); the
  // assets are preloaded, and the script's own request takes that answer
  // (same URL, same mode): nothing is fetched twice.
  function fetchProgramFiles(script) {
    const code = script.replace(/\.js$/, '.wasm');
    // A code that doesn't arrive is told apart from one that arrives and
    // doesn't compile: the one asks for the connection, the other for the server.
    const notLoaded = (what) => Object.assign(new Error(what), { notLoaded: true });
    compiledProgram = fetch(code, { credentials: 'same-origin' }).then((response) => {
      if (!response.ok) throw notLoaded(`${code}: HTTP ${response.status}`);
      // Compiled as it arrives where the server labels it as WebAssembly
      // (as browsers require for that), from its bytes elsewhere.
      const labelled = (response.headers.get('Content-Type') ?? '').startsWith('application/wasm');
      return labelled ? WebAssembly.compileStreaming(response)
        : response.arrayBuffer().then((bytes) => WebAssembly.compile(bytes));
    }, (error) => { throw notLoaded(`${code}: ${error.message}`); });
    compiledProgram.catch(() => {});   // said when the program asks for it
    const link = document.createElement('link');
    link.rel = 'preload';
    link.as = 'fetch';
    link.crossOrigin = 'anonymous';
    link.href = PackedAssets;
    document.head.appendChild(link);
  }

  // What went wrong, in one sentence with what to try, in place of the
  // start button: never "Loading…" for ever.
  function showFailure(text, detail) {
    if (start.dataset.state === 'failed') return;   // the first failure is the one to tell
    start.hidden = true;
    start.dataset.state = 'failed';
    showHint(false);
    notice.replaceChildren();
    const sentence = document.createElement('p');
    sentence.textContent = text;
    notice.appendChild(sentence);
    if (detail) {
      const code = document.createElement('code');
      code.textContent = detail;
      notice.appendChild(code);
    }
    notice.hidden = false;
  }

  // The program stopped: its code didn't compile or start (a damaged or
  // missing .wasm), or it failed while running.
  function programFailed(what) {
    const detail = String(what ?? '').slice(0, 200);
    if (programReady) {
      showFailure('The intro stopped with an error: reload the page to run it again.', detail);
    } else {
      showFailure("The intro's program did not start: reload the page; if it fails again, " +
                  "the page's files on the server are damaged.", detail);
    }
  }

  // An uncaught error while the program is loading (such as its packed
  // assets failing to download) means it will not start.
  window.addEventListener('error', (event) => {
    if (!programReady && start.dataset.state === 'loading') {
      showFailure(FilesNotLoaded, event.message);
    }
  });

  // Where the browser allows a service worker (a secure context: https, or
  // localhost), it keeps the page's files once the program has loaded, so
  // that the next visit starts from them, with or without a network.
  // Elsewhere (plain http from another machine) the page works as before.
  function keepForOffline() {
    if (!window.isSecureContext || !('serviceWorker' in navigator)) return;
    navigator.serviceWorker.register('service_worker.js')
      .catch((error) => console.warn(`The page is not kept for offline use: ${error.message}`));
  }
})();

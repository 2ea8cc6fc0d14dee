// The page around the intro: loads it, fits the picture to the window at a
// whole-number scale, shows the "click to start" overlay over the first
// frame, and handles fullscreen (double-click or F) and mute (M).
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
  const mutedBadge = document.getElementById('muted');
  const hint = document.getElementById('hint');

  const args = [];
  const turns = new URLSearchParams(window.location.search).get('turns');
  if (turns !== null) args.push('--turns=' + turns);

  // The largest whole multiple of the picture that fits the stage in device
  // pixels, so every picture pixel covers the same number of screen pixels.
  function fit() {
    const ratio = window.devicePixelRatio || 1;
    const width = stage.clientWidth * ratio;
    const height = stage.clientHeight * ratio;
    const scale = Math.max(1, Math.floor(Math.min(width / Width, height / Height)));
    canvas.style.width = (Width * scale / ratio) + 'px';
    canvas.style.height = (Height * scale / ratio) + 'px';
  }

  function toggleFullscreen() {
    if (document.fullscreenElement) {
      document.exitFullscreen().catch(() => {});
    } else if (stage.requestFullscreen) {
      stage.requestFullscreen().catch(() => {});
    }
  }

  function toggleMute() {
    mutedBadge.hidden = !Module._QuillmoorToggleMute();
  }

  function begin() {
    if (start.hidden || start.disabled) return;
    start.hidden = true;
    hint.hidden = true;
    start.dataset.state = 'running';
    Module._QuillmoorStart();
  }

  start.addEventListener('click', begin);
  // A browser may suspend the audio (another tab took the output, a phone
  // call); any later click or key brings it back.
  const resumeSound = () => {
    const audio = Module['quillmoorAudio'];
    if (audio && audio.context.state !== 'running' && audio.context.state !== 'closed') audio.context.resume();
  };
  window.addEventListener('pointerdown', resumeSound);
  window.addEventListener('keydown', resumeSound);
  stage.addEventListener('dblclick', toggleFullscreen);
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
  document.addEventListener('fullscreenchange', fit);
  window.addEventListener('pagehide', () => {
    if (Module._QuillmoorClose) Module._QuillmoorClose();
  });
  fit();

  window.Module = {
    arguments: args,
    print: (text) => console.log(text),
    // After main: the first frame is on the canvas.
    postRun: [() => {
      start.disabled = false;
      start.textContent = 'Click to start';
      start.dataset.state = 'ready';
    }],
  };
})();

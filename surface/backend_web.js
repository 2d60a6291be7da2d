// The page's side of the browser backend (backend_web.cpp), linked into every page with
// --js-library. The functions that return to the browser before they come back (web_yield,
// web_sleep, web_next_frame) pause the program through Asyncify and are named among the
// pages' ASYNCIFY_IMPORTS.
mergeInto(LibraryManager.library, {
  // Sizes the canvas `#screen` to the surface and fits it into the browser window: at the
  // largest whole CSS scale while one fits, pixels kept sharp; otherwise scaled down, smoothly so
  // that one-pixel lines stay visible, as far as the whole surface needs to be seen without
  // scrolling. Below kHintScale the hint `#hint` under the picture suggests turning the device.
  // 0 when the page has no canvas that can be drawn on.
  web_fit_canvas: function(width, height) {
    const canvas = document.getElementById('screen');
    if (!canvas || !canvas.getContext('2d', {alpha: false})) return 0;
    if (width > 0 && height > 0) {
      if (canvas.width !== width) canvas.width = width;
      if (canvas.height !== height) canvas.height = height;
    }
    const kHintScale = 0.6;
    const report = document.getElementById('report');
    const hint = document.getElementById('hint');
    const room = () => window.innerHeight - (report && !report.hidden ? report.offsetHeight : 0) -
                       (hint && !hint.hidden ? hint.offsetHeight : 0);
    const fit = () => Math.min(window.innerWidth / canvas.width, room() / canvas.height);
    if (hint) hint.hidden = true;
    let scale = fit();
    if (hint && scale < kHintScale) {
      hint.hidden = false;
      scale = fit();
    }
    const sharp = scale >= 1;
    // Whole device pixels would be nicer below 1, but any factor maps exactly back through the
    // canvas's box (web_surface_point); a tiny window still gets a picture that can be found.
    scale = sharp ? Math.floor(scale) : Math.max(scale, 0.05);
    // CSS lengths below 1 keep 1/64 px; rounding down keeps the box inside the window.
    const css = (n) => Math.floor(n * scale * 64) / 64 + 'px';
    canvas.style.width = css(canvas.width);
    canvas.style.height = css(canvas.height);
    canvas.style.imageRendering = sharp ? 'pixelated' : 'auto';
    return 1;
  },

  // Puts `count` rectangles (x, y, width, height: 4 ints each at `rects`) of the RGBA picture at
  // `pixels` (width x height) on the canvas: one frame shown.
  web_put_rects: function(pixels, width, height, rects, count) {
    const canvas = document.getElementById('screen');
    if (!canvas) return;
    let view = Module.webView;
    if (!view || view.buffer !== HEAPU8.buffer || view.pixels !== pixels || view.image.width !== width ||
        view.image.height !== height) {
      // A view onto the wasm memory, made again when the memory grows (its buffer is then new).
      const bytes = new Uint8ClampedArray(HEAPU8.buffer, pixels, width * height * 4);
      view = Module.webView = {buffer: HEAPU8.buffer, pixels: pixels, image: new ImageData(bytes, width, height),
                               context: canvas.getContext('2d', {alpha: false})};
    }
    if (!view.context) return;
    for (let i = 0, at = rects >> 2; i < count; ++i, at += 4)
      view.context.putImageData(view.image, 0, 0, HEAP32[at], HEAP32[at + 1], HEAP32[at + 2], HEAP32[at + 3]);
    Module.webFrames = (Module.webFrames || 0) + 1;
    if (Module.webFirstFrame === undefined) Module.webFirstFrame = performance.now();
  },

  // The surface pixel under the client point (cx, cy): out[0], out[1]; returns whether it lies
  // on the canvas. Whatever the CSS scale, one surface pixel is canvas.width / rect.width CSS
  // pixels.
  web_surface_point: function(cx, cy, out) {
    const canvas = document.getElementById('screen');
    if (!canvas) return 0;
    const rect = canvas.getBoundingClientRect();
    if (!(rect.width > 0 && rect.height > 0)) return 0;
    const x = Math.floor((cx - rect.left) * canvas.width / rect.width);
    const y = Math.floor((cy - rect.top) * canvas.height / rect.height);
    HEAP32[out >> 2] = Math.max(-1000000, Math.min(1000000, x));
    HEAP32[(out >> 2) + 1] = Math.max(-1000000, Math.min(1000000, y));
    return x >= 0 && y >= 0 && x < canvas.width && y < canvas.height ? 1 : 0;
  },

  web_page_focused: function() { return document.hasFocus() ? 1 : 0; },

  web_focus_canvas: function() {
    const canvas = document.getElementById('screen');
    if (canvas && document.activeElement !== canvas) canvas.focus({preventScroll: true});
  },

  // While a button is down the canvas holds the pointer: its release reaches the page even outside
  // the browser window, and a release outside the canvas cancels the click instead of leaving it
  // waiting. The capture ends by itself with the last button.
  //
  // Fingers and pens come as pointer events and go to web_touch as the left button: the first
  // to touch the canvas counts until it is lifted, any other is ignored meanwhile. The mouse
  // keeps its own events (backend_web.cpp). While one is held, the page neither scrolls nor zooms
  // nor selects, and a touch on the canvas never turns into mouse events of its own.
  web_hold_pointer__deps: ['$webTypingAtTap'],
  web_hold_pointer: function() {
    const canvas = document.getElementById('screen');
    if (!canvas) return;
    let held = null;  // the pointerId of the finger or pen that counts
    const send = (phase, e) => Module._web_touch(phase, e.clientX, e.clientY);
    canvas.addEventListener('pointerdown', e => {
      if (e.pointerType !== 'mouse') {
        e.preventDefault();
        if (held !== null) return;
        held = e.pointerId;
      }
      try {
        canvas.setPointerCapture(e.pointerId);
      } catch (err) {
        // an inactive pointer cannot be captured; its release then comes as before
      }
      if (held === e.pointerId) send(0, e);
    });
    canvas.addEventListener('pointermove', e => {
      // A pen hovering moves the pointer as a mouse does.
      if (e.pointerId === held || (held === null && e.pointerType === 'pen')) send(1, e);
    });
    const end = phase => e => {
      if (e.pointerId !== held) return;
      held = null;
      send(phase, e);
    };
    canvas.addEventListener('pointerup', e => {
      const lifted = e.pointerId === held;
      end(2)(e);
      if (lifted) webTypingAtTap(e.clientX, e.clientY);
    });
    canvas.addEventListener('pointercancel', end(3));
    const still = e => { if (held !== null || e.target === canvas) e.preventDefault(); };
    canvas.addEventListener('touchstart', still, {passive: false});
    document.addEventListener('touchmove', still, {passive: false});
    document.addEventListener('selectstart', still);
  },

  // While a line editor takes text, the off-screen field `#typing` lies over it and has the focus,
  // so that a device without a keyboard opens its own; wanted = 0 gives the focus back to the
  // canvas, which closes it. (x, y, w, h) is the editor's field in surface pixels.
  web_text_input__deps: ['$webPlaceTyping'],
  web_text_input: function(x, y, w, h, wanted) {
    const canvas = document.getElementById('screen');
    const field = document.getElementById('typing');
    if (!canvas || !field) return;
    Module.webEditing = !!wanted;
    // A field of the page's own controls that has the keyboard takes the typing itself.
    if (Module.webOverlay && Module.webOverlay.editing(x, y, w, h, wanted)) return;
    field.value = '';
    if (!wanted) {
      if (document.activeElement === field) canvas.focus({preventScroll: true});
      return;
    }
    webPlaceTyping(canvas, field, x, y, w, h);
  },

  // Puts `#typing` over surface rectangle (x, y, w, h) and gives it the focus, which scrolls it
  // into view above an on-screen keyboard that covers the lower half.
  $webPlaceTyping: function(canvas, field, x, y, w, h) {
    const r = canvas.getBoundingClientRect();
    const k = r.width / canvas.width;
    field.style.left = (r.left + window.scrollX + x * k) + 'px';
    field.style.top = (r.top + window.scrollY + y * k) + 'px';
    field.style.width = Math.max(1, w * k) + 'px';
    field.style.height = Math.max(1, h * k) + 'px';
    field.focus();
  },

  // A finger or pen lifted at client point (cx, cy), over a text field that the program offers:
  // some tablets open their keyboard only for a focus given inside the tap's own event handler,
  // while the program's editor starts a poll later. So `#typing` takes the focus here, over the
  // field; when no editor has started a second later, the focus goes back to the canvas.
  $webTypingAtTap__deps: ['$webPlaceTyping'],
  $webTypingAtTap: function(cx, cy) {
    const canvas = document.getElementById('screen');
    const field = document.getElementById('typing');
    const overlay = Module.webOverlay;
    if (!canvas || !field || !overlay || Module.webEditing) return;
    const r = canvas.getBoundingClientRect();
    if (!(r.width > 0 && r.height > 0)) return;
    const x = Math.floor((cx - r.left) * canvas.width / r.width);
    const y = Math.floor((cy - r.top) * canvas.height / r.height);
    for (const c of overlay.controls.values()) {
      if (c.kind !== 'field' || x < c.x || y < c.y || x > c.x + c.w || y > c.y + c.h) continue;
      field.value = '';
      webPlaceTyping(canvas, field, c.x, c.y, c.w + 1, c.h + 1);
      setTimeout(() => {
        if (!Module.webEditing && document.activeElement === field) canvas.focus({preventScroll: true});
      }, 1000);
      return;
    }
  },

  // What an on-screen keyboard or input method puts into `#typing` goes to web_typed, character
  // by character, and the field stays empty; the keys a keyboard sends with a key value of their
  // own come as key-down events (backend_web.cpp) and are taken there.
  web_listen_typing: function() {
    const field = document.getElementById('typing');
    if (!field) return;
    const send = text => {
      for (const ch of text) Module._web_typed(ch.codePointAt(0));
    };
    // Tab ends the editing (as Enter does) on its way to the next control.
    field.addEventListener('keydown', e => {
      if (e.key === 'Tab') Module._web_typed(13);
    });
    field.addEventListener('beforeinput', e => {
      // A composition runs in the field and arrives whole at its end.
      if (e.isComposing || e.inputType === 'insertCompositionText') return;
      if (e.inputType === 'insertText' || e.inputType === 'insertReplacementText') send(e.data || '');
      else if (e.inputType === 'insertLineBreak' || e.inputType === 'insertParagraph') Module._web_typed(13);
      else if (e.inputType === 'deleteContentBackward') Module._web_typed(8);
      else return;
      e.preventDefault();
    });
    field.addEventListener('compositionend', e => {
      send(e.data || '');
      field.value = '';
    });
    // Whatever got in all the same (an input method whose events cannot be cancelled).
    field.addEventListener('input', e => {
      if (e.isComposing || field.value === '') return;
      send(field.value);
      field.value = '';
    });
  },

  web_set_title: function(utf8) { document.title = UTF8ToString(utf8); },

  // The presenter: on every display frame (before the browser paints it) the changed rows go to
  // the canvas, through web_present. It runs while the program is paused and stops when the
  // program has ended.
  web_start_presenter: function() {
    if (Module.webPresenter) return;
    Module.webPresenter = true;
    const tick = () => {
      if (ABORT) return;
      Module._web_present();
      requestAnimationFrame(tick);
    };
    requestAnimationFrame(tick);
  },

  // Returns to the browser for one turn of its event loop (input, and painting when a display
  // frame is due) and comes back at once: a message to ourselves, which, unlike a zero timeout,
  // is not slowed down when repeated.
  web_yield: function() {
    return Asyncify.handleAsync(async () => {
      await new Promise(resolve => {
        const channel = Module.webChannel || (Module.webChannel = new MessageChannel());
        channel.port1.onmessage = () => resolve();
        channel.port2.postMessage(0);
      });
    });
  },

  // Sleeps at least `ms`. The time-out ends the sleep, or the first display frame after it has
  // run its time, whichever comes first: a page whose main thread is busy (a slow device) gives
  // timers no turn between some display frames, and a program that sleeps between its frames
  // would miss those frames. The presenter's callback of that display frame runs first.
  web_sleep: function(ms) {
    return Asyncify.handleAsync(async () => {
      const until = performance.now() + ms;
      await new Promise(resolve => {
        let frame = 0, timer = 0;
        const done = () => {
          clearTimeout(timer);
          cancelAnimationFrame(frame);
          resolve();
        };
        const check = () => {
          if (performance.now() >= until) done();
          else frame = requestAnimationFrame(check);
        };
        timer = setTimeout(done, ms);
        frame = requestAnimationFrame(check);
      });
    });
  },

  // Waits for the next display frame (the presenter's turn comes first), or `ms` at most: a page
  // that is not shown gets no display frames.
  web_next_frame: function(ms) {
    return Asyncify.handleAsync(async () => {
      // Whichever comes first cancels the other, so that no stray task is left for a later
      // frame: on a slow device every task costs a share of the next frame.
      await new Promise(resolve => {
        let timer = 0;
        const frame = requestAnimationFrame(() => { clearTimeout(timer); resolve(); });
        timer = setTimeout(() => { cancelAnimationFrame(frame); resolve(); }, ms);
      });
    });
  },
});

// The page's own controls over the canvas (backend_web.cpp's web_controls): the widgets the
// program polls at the moment, mirrored as real, invisible HTML controls with their native roles,
// so that a keyboard alone or a screen reader can use every page. What they do goes into the same
// input sink as the pointer: a tap at the widget (web_tap), a wheel notch over a list
// (web_wheel_at), typed keys while a field's editor runs. The overlay `#controls` takes no pointer
// event, so mouse, fingers and pens reach the canvas as before; the page draws a focus outline
// around the focused control, and never on the canvas.
mergeInto(LibraryManager.library, {
  web_controls__deps: ['$webOverlayMake'],
  web_controls: function(json) {
    const o = Module.webOverlay || (Module.webOverlay = webOverlayMake());
    o.pending = UTF8ToString(json);
    if (o.queued) return;
    o.queued = true;
    requestAnimationFrame(() => {
      o.queued = false;
      o.apply(o.pending);
    });
  },

  web_controls_offered: function() { return document.querySelector('#controls [tabindex="0"]') ? 1 : 0; },

  // The overlay: built once, then brought up to date with each set the program hands on.
  $webOverlayMake__deps: ['$webOverlayKeys'],
  $webOverlayMake: function() {
    const canvas = document.getElementById('screen');
    let box = document.getElementById('controls');
    if (!box) {
      box = document.createElement('div');
      box.id = 'controls';
      canvas.after(box);
    }
    const status = document.createElement('div');
    status.id = 'status';
    status.setAttribute('role', 'status');
    box.append(status);

    const o = {
      box, canvas, status,
      elements: new Map(),  // key -> element, for the controls and the radio groups
      controls: new Map(),  // key -> the control as last handed on
      order: [],            // the focusable elements in reading order
      lost: null,           // the key of a focused control that vanished: focused again when it returns
      lostBorn: 0,          // when its element was made (o.born counts them)
      born: 0,
      moved: null,          // the element focus was moved to when `lost` vanished
      pendingMove: null,    // Tab out of a field's editor: {x, y, dir, at}
      wanted: new Map(),    // list key -> the item the arrows aim at, until the list shows it
      lastSaid: -1e9, sayTimer: 0, said: '', statusCount: -1,
    };

    const keyOf = c => c.kind + '-' + c.x + '-' + c.y + '-' + c.w + '-' + c.h;
    const centre = c => [c.x + (c.w >> 1), c.y + (c.h >> 1)];
    const tap = (x, y) => Module._web_tap(x, y);

    // Placed over the canvas in its CSS box; the children in per cent of it.
    o.place = () => {
      const r = canvas.getBoundingClientRect();
      box.style.left = (r.left + window.scrollX) + 'px';
      box.style.top = (r.top + window.scrollY) + 'px';
      box.style.width = r.width + 'px';
      box.style.height = r.height + 'px';
    };
    window.addEventListener('resize', o.place);
    const put = (el, x, y, w, h) => {
      el.style.left = (100 * x / canvas.width) + '%';
      el.style.top = (100 * y / canvas.height) + '%';
      el.style.width = (100 * (w + 1) / canvas.width) + '%';
      el.style.height = (100 * (h + 1) / canvas.height) + '%';
    };

    // Focus moved by the page itself: a field takes it without starting its editor.
    o.quietFocus = el => {
      el.dataset.quiet = '1';
      el.focus({preventScroll: true});
      delete el.dataset.quiet;
    };

    // ---- Lists: the arrows aim at an item; a visible one is tapped, otherwise the list scrolls
    // toward it first (a wheel notch over it) and the tap follows once it shows.
    const tapRow = (c, i) => tap(c.x + (c.w >> 1), c.y + 16 * (i - c.top) + 8);
    const visible = (c, i) => i >= c.top && i < c.top + c.rows;
    // One tap at a time: a tap while the list still waits for the last one's release would be lost.
    const listTowards = (key) => {
      const c = o.controls.get(key);
      const want = o.wanted.get(key);
      if (!c || !want) return;
      if (want.item === c.selected) {
        o.wanted.delete(key);
        return;
      }
      const now = performance.now();
      if (want.tapped >= 0 && want.tapped !== c.selected && now - want.at < 600) return;
      want.tapped = -1;
      if (visible(c, want.item)) {
        tapRow(c, want.item);
        want.tapped = want.item;
      } else {
        Module._web_wheel_at(c.x + (c.w >> 1), c.y + (c.h >> 1), want.item < c.top ? 1 : -1);
      }
      want.at = now;
    };
    const listKey = (el, e) => {
      const c = o.controls.get(el.dataset.key);
      const last = c.items.length - 1;
      if (last < 0) return false;
      const from = o.wanted.has(el.dataset.key) ? o.wanted.get(el.dataset.key).item : c.selected;
      let to;
      switch (e.key) {
        case 'ArrowDown': to = from < 0 ? 0 : from + 1; break;
        case 'ArrowUp': to = from < 0 ? 0 : from - 1; break;
        case 'Home': to = 0; break;
        case 'End': to = last; break;
        case 'PageDown': to = from + Math.max(1, c.rows); break;
        case 'PageUp': to = from - Math.max(1, c.rows); break;
        case 'Enter': case ' ':
          // The selected item chosen again (a program may act on a choice only).
          if (visible(c, c.selected)) tapRow(c, c.selected);
          return true;
        default: return false;
      }
      to = Math.max(0, Math.min(last, to));
      // Aimed at from the last aim, so that keys pressed faster than the program polls all count.
      const want = o.wanted.get(el.dataset.key) || {tapped: -1, at: 0};
      want.item = to;
      o.wanted.set(el.dataset.key, want);
      listTowards(el.dataset.key);
      return true;
    };

    // ---- Sliders: a tap on the nearest track column that gives another value in the key's direction.
    // The toolkit's rules (Inc/GUI/trackbar.cpp), halves to even as there.
    const halfEven = v => {
      const r = Math.round(v);
      return r - v === 0.5 && r % 2 !== 0 ? r - 1 : r;
    };
    const sliderValueAt = (c, mx) => {
      const span = c.max - c.min;
      if (span === 0 || c.w <= 10) return c.min;
      return halfEven(c.min + (mx - c.x - 5) * span / (c.w - 10));
    };
    const sliderKnob = (c, v) => {
      const span = c.max - c.min;
      if (span === 0 || c.w <= 10) return c.x + 5;
      return halfEven(c.x + 5 + (v - c.min) * (c.w - 10) / span);
    };
    const sliderKey = (el, e) => {
      const c = o.controls.get(el.dataset.key);
      const lo = Math.min(c.min, c.max), hi = Math.max(c.min, c.max);
      const up = c.max >= c.min ? 1 : -1;  // the track's right end is MAX
      let column;
      if (e.key === 'Home') column = sliderKnob(c, lo);
      else if (e.key === 'End') column = sliderKnob(c, hi);
      else {
        const dir = {ArrowRight: 1, ArrowUp: 1, PageUp: 1, ArrowLeft: -1, ArrowDown: -1, PageDown: -1}[e.key];
        if (!dir) return false;
        const pixels = e.key.startsWith('Page') ? Math.max(1, Math.round((c.w - 10) / 10)) : 1;
        const start = sliderKnob(c, c.value);
        column = start;
        for (let d = pixels; d <= c.w; ++d) {
          const col = start + dir * up * d;
          if (col < c.x + 5 || col > c.x + c.w - 5) break;
          column = col;
          if (sliderValueAt(c, col) !== c.value) break;
        }
      }
      column = Math.max(c.x + 5, Math.min(c.x + c.w - 5, column));
      tap(column, c.y + (c.h >> 1));
      return true;
    };

    // ---- Radio groups: the arrows check the next member, as a tap on it does.
    const radioKey = (el, e) => {
      const dir = {ArrowRight: 1, ArrowDown: 1, ArrowLeft: -1, ArrowUp: -1}[e.key];
      if (e.key === ' ') {
        tap(...centre(o.controls.get(el.dataset.key)));
        return true;
      }
      if (!dir) return false;
      const members = [...el.parentElement.querySelectorAll('[role=radio]')];
      const next = members[(members.indexOf(el) + dir + members.length) % members.length];
      members.forEach(m => m.tabIndex = m === next ? 0 : -1);
      next.focus({preventScroll: true});
      tap(...centre(o.controls.get(next.dataset.key)));
      return true;
    };

    // ---- Fields: focus starts the editor (a tap at the field's end); while it runs, the field
    // itself takes the typing, which goes on as keys; Tab ends it with Enter and moves on.
    const startEditing = (el) => {
      const c = o.controls.get(el.dataset.key);
      if (c) tap(c.x + Math.max(1, c.w - 4), c.y + (c.h >> 1));
    };
    const forward = (el, e) => webOverlayKeys(e);
    const fieldKey = (el, e) => {
      if (e.key === 'Tab') {
        if (el.dataset.editing) {
          Module._web_typed(13);
          const c = o.controls.get(el.dataset.key);
          o.pendingMove = {x: c.x, y: c.y, dir: e.shiftKey ? -1 : 1, at: performance.now()};
          return true;
        }
        return false;
      }
      if (el.dataset.editing) return forward(el, e);
      if (e.key === 'Enter' || e.key === 'F2') {
        startEditing(el);
        return true;
      }
      return false;
    };
    o.typed = el => text => {
      if (!el.dataset.editing) {
        el.queue = (el.queue || []).concat([text]);
        startEditing(el);
        return;
      }
      for (const ch of text) Module._web_typed(ch.codePointAt(0));
    };

    box.addEventListener('keydown', e => {
      const el = e.target;
      if (!el.dataset || !el.dataset.key || e.ctrlKey || e.metaKey || e.altKey) return;
      const kind = (o.controls.get(el.dataset.key) || {}).kind;
      let used = false;
      if (kind === 'list') used = listKey(el, e);
      else if (kind === 'slider') used = sliderKey(el, e);
      else if (kind === 'radio') used = radioKey(el, e);
      else if (kind === 'check') used = e.key === ' ' && (tap(...centre(o.controls.get(el.dataset.key))), true);
      else if (kind === 'field') used = fieldKey(el, e);
      if (used) {
        e.preventDefault();
        e.stopPropagation();
      }
    });
    // A button: Enter and Space click it, as does a screen reader's default action.
    box.addEventListener('click', e => {
      const c = e.target.dataset && o.controls.get(e.target.dataset.key);
      if (c && c.kind === 'button') tap(...centre(c));
    });
    box.addEventListener('focusin', e => {
      const el = e.target;
      const c = el.dataset && o.controls.get(el.dataset.key);
      if (c && c.kind === 'field' && !el.dataset.quiet && !el.dataset.editing) startEditing(el);
    });

    const make = (c, key) => {
      let el;
      if (c.kind === 'button') {
        el = document.createElement('button');
        el.type = 'button';
      } else if (c.kind === 'field') {
        el = document.createElement('input');
        el.autocomplete = 'off';
        el.spellcheck = false;
        el.setAttribute('autocapitalize', 'off');
        el.setAttribute('autocorrect', 'off');
        // What is typed goes to the editor as keys; the field shows the editor's text.
        const typed = o.typed(el);
        el.addEventListener('beforeinput', e => {
          e.preventDefault();
          if (e.isComposing || e.inputType === 'insertCompositionText') return;
          if (e.inputType === 'insertText' || e.inputType === 'insertReplacementText') typed(e.data || '');
        });
        el.addEventListener('compositionend', e => typed(e.data || ''));
      } else {
        el = document.createElement('div');
        el.setAttribute('role', {check: 'checkbox', radio: 'radio', list: 'listbox', slider: 'slider'}[c.kind]);
        if (c.kind === 'slider') el.setAttribute('aria-orientation', 'horizontal');
      }
      el.dataset.key = key;
      el.tabIndex = 0;
      el.born = ++o.born;
      return el;
    };

    const update = (el, c, key) => {
      const name = c.name || {list: 'Auswahlliste', slider: 'Schieberegler', field: 'Eingabefeld'}[c.kind] || '';
      if (el.getAttribute('aria-label') !== name) el.setAttribute('aria-label', name);
      put(el, c.x, c.y, c.w, c.h);
      if (c.kind === 'check' || c.kind === 'radio') el.setAttribute('aria-checked', c.checked ? 'true' : 'false');
      if (c.kind === 'slider') {
        el.setAttribute('aria-valuemin', Math.min(c.min, c.max));
        el.setAttribute('aria-valuemax', Math.max(c.min, c.max));
        el.setAttribute('aria-valuenow', c.value);
      }
      if (c.kind === 'field') {
        if (el.value !== c.text) el.value = c.text;
        el.readOnly = !!c.readonly;
      }
      if (c.kind === 'list') {
        const options = el.children;
        while (options.length > c.items.length) options[options.length - 1].remove();
        c.items.forEach((item, i) => {
          let option = options[i];
          if (!option) {
            option = document.createElement('div');
            option.setAttribute('role', 'option');
            option.id = key + '-' + i;
            el.append(option);
          }
          if (option.textContent !== item) option.textContent = item;
          option.setAttribute('aria-selected', i === c.selected ? 'true' : 'false');
          option.style.left = '0';
          option.style.width = '100%';
          option.style.top = (100 * 16 * (i - c.top) / (c.h + 1)) + '%';
          option.style.height = (100 * 16 / (c.h + 1)) + '%';
        });
        if (c.selected >= 0) el.setAttribute('aria-activedescendant', key + '-' + c.selected);
        else el.removeAttribute('aria-activedescendant');
      }
    };

    // What a label or the program says, at most once a second: a counter running on is told as it
    // stands then, not at every frame.
    o.say = (text) => {
      o.said = text;
      const due = o.lastSaid + 1000 - performance.now();
      if (o.sayTimer) return;
      const now = () => {
        o.sayTimer = 0;
        o.lastSaid = performance.now();
        status.textContent = o.said;
      };
      if (due <= 0) now();
      else o.sayTimer = setTimeout(now, due);
    };

    o.apply = (json) => {
      let set;
      try {
        set = JSON.parse(json);
      } catch (err) {
        return;
      }
      o.place();
      const active = document.activeElement;
      const activeKey = active && box.contains(active) ? (active.dataset.key || null) : null;
      const seen = new Set();
      const order = [];
      for (const c of set.controls) {
        const key = keyOf(c);
        seen.add(key);
        o.controls.set(key, c);
        let el = o.elements.get(key);
        if (!el) o.elements.set(key, el = make(c, key));
        update(el, c, key);
        if (c.kind === 'radio') {
          const groupKey = 'group-' + c.gx + '-' + c.gy;
          seen.add(groupKey);
          let group = o.elements.get(groupKey);
          if (!group) {
            group = document.createElement('div');
            group.setAttribute('role', 'radiogroup');
            group.dataset.group = groupKey;
            o.elements.set(groupKey, group);
          }
          if (el.parentElement !== group) group.append(el);
          if (!order.includes(group)) order.push(group);
        } else {
          order.push(el);
        }
      }
      for (const key of [...o.elements.keys()]) {
        if (seen.has(key)) continue;
        o.elements.get(key).remove();
        o.elements.delete(key);
        o.controls.delete(key);
        o.wanted.delete(key);
      }
      // Reading order: top to bottom, left to right; a radio group where its first member is.
      const at = el => {
        const first = el.dataset.group ? el.firstElementChild : el;
        const c = first && o.controls.get(first.dataset.key);
        return c ? [c.y, c.x] : [0, 0];
      };
      order.sort((a, b) => at(a)[0] - at(b)[0] || at(a)[1] - at(b)[1]);
      for (const group of order.filter(el => el.dataset.group)) {
        const members = [...group.children].sort((a, b) => at(a)[1] - at(b)[1] || at(a)[0] - at(b)[0]);
        members.forEach((m, i) => {
          if (group.children[i] !== m) group.insertBefore(m, group.children[i]);
        });
        // One stop for the group: its checked member, or its first.
        const checked = members.find(m => m.getAttribute('aria-checked') === 'true') || members[0];
        members.forEach(m => m.tabIndex = m === checked ? 0 : -1);
      }
      order.forEach((el, i) => {
        if (box.children[i] !== el) box.insertBefore(el, box.children[i] || status);
      });
      o.order = order;
      // Moving an element in the document takes the focus from it: given back.
      if (active && active !== document.activeElement && box.contains(active)) o.quietFocus(active);
      for (const key of o.wanted.keys()) listTowards(key);

      // The focus: a control that vanished under it hands it to the first one offered now, and
      // gets it back when it returns (Stop ends a run: Start again).
      const focusable = () => order.flatMap(el => el.dataset.group ? [...el.children].filter(m => m.tabIndex === 0) : [el]);
      if (activeKey && !seen.has(activeKey)) {
        // The first to vanish is where the focus returns to (Start, after a run and its Stop;
        // the button that opened a dialog, after its answer).
        if (!o.lost) {
          o.lost = activeKey;
          o.lostBorn = active.born;
        }
        o.moved = null;
      }
      const now = document.activeElement;
      if (o.lost) {
        const back = o.elements.get(o.lost);
        // Where the focus is now came after the lost one (Stop, a dialog's buttons), or the page put
        // it there: it goes back. A control that was there before keeps it.
        const passing = !now || now === document.body || now === o.moved || !(now.born < o.lostBorn);
        if (passing) {
          const target = back || focusable()[0];
          if (target && target !== now) o.quietFocus(target);
          o.moved = back ? null : target;
        }
        if (back) o.lost = null;
      }
      // Tab out of an editor: the next control in reading order, once the loop polls the others again.
      const move = o.pendingMove;
      if (move && !document.querySelector('#controls [data-editing]') && performance.now() - move.at > 80) {
        o.pendingMove = null;
        const list = focusable();
        const pos = el => at(el.dataset.group ? el.parentElement.firstElementChild : el);
        const after = list.filter(el => {
          const y = pos(el)[0], x = pos(el)[1];
          return move.dir > 0 ? (y > move.y || (y === move.y && x > move.x)) : (y < move.y || (y === move.y && x < move.x));
        });
        const target = move.dir > 0 ? after[0] : after[after.length - 1];
        if (target) target.focus({preventScroll: true});
      }
      if (set.statusCount !== o.statusCount) {
        o.statusCount = set.statusCount;
        if (set.status) o.say(set.status);
      }
    };

    // Editing: the program's line editor asks for typed text at a field (web_text_input). The
    // overlay's field that has the focus takes it; one the focus has already left is ended at once.
    o.editing = (x, y, w, h, wanted) => {
      const key = 'field-' + x + '-' + y + '-' + w + '-' + h;
      const el = o.elements.get(key);
      if (!wanted) {
        document.querySelectorAll('#controls [data-editing]').forEach(f => delete f.dataset.editing);
        return false;
      }
      const active = document.activeElement;
      if (el && active === el) {
        el.dataset.editing = '1';
        const queue = el.queue || [];
        el.queue = [];
        queue.forEach(text => { for (const ch of text) Module._web_typed(ch.codePointAt(0)); });
        return true;
      }
      if (active && box.contains(active)) {
        Module._web_typed(13);
        return true;
      }
      return false;
    };
    return o;
  },

  // A key pressed in a field whose editor runs goes on as the keyboard's key would from the
  // off-screen field: through its key-down handler (backend_web.cpp). True when that took it.
  $webOverlayKeys: function(e) {
    const typing = document.getElementById('typing');
    if (!typing) return false;
    const copy = new KeyboardEvent('keydown', {key: e.key, code: e.code, shiftKey: e.shiftKey, cancelable: true});
    return !typing.dispatchEvent(copy);
  },
});

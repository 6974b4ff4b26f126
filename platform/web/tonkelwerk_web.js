// The web backend's browser side, linked with --js-library: the page's
// elements, its event queue (pointer events for mouse, pen and touch alike,
// the wheel, command keys and an HTML context menu), the wait for input of an
// idle page, Canvas 2D images in whole device pixels, the knobs' sliders, Web
// Audio sounds, <dialog> boxes and the downloads of saved files. The C++ services in platform/*/*_web.cpp and the
// page's program (app/web/) call these tw_* functions;
// platform/web/web_shared.h declares them.
//
// Every browser object lives in TW.objects under a small positive number that
// the C++ side keeps in its ObjectTable records (0 means none).
// Leaves out: window moves, sizes, paints and activations (the program passes
// over them) and the close request: a page is closed by the browser.
mergeInto(LibraryManager.library, {
  $TW: {
    objects: {},
    next: 1,
    queue: [],
    latest: {word: 0, button: 0, command: 0},
    cursor: null,        // {x, y} in page coordinates, null off the page
    screen: null,        // {ctx, x, y, width, height}
    frame: [],           // the back buffer as a list of what a flip paints
    presented: '',
    drawing: null,       // {ctx, image, style, font}
    audio: null,
    audioProblem: '',    // why the page has no sound, once it knows
    silentTold: false,   // Preview has said so
    shareRequests: [],
    shareRequest: null,  // the one tw_share_next handed out
    copying: null,       // the link that the page's own copy event carries
    listening: false,    // the page-wide listeners are in place
    nesting: 0,          // timers nested in the task that runs the program
    waker: null,         // the message channel that ends short sleeps
    wakeUp: null,
    ratio: 1,            // device pixels per pixel of every canvas
    ratioChanged: false, // the screen's pixel ratio changed since the last look
    held: false,         // a pointer's button or contact is down
    lastPress: null,     // {button, time, x, y} of a press that may start a double-click
    knobTurns: [],       // {slider, angle} asked for by the keyboard
    inputWait: null,     // how to wake the program waiting for input
    commandKeys: null,   // {window, list: [{command, key, modifiers}]}
    menuEntries: [],     // {command, text, enabled} of the menu being made
    menu: null,          // {element, before}: the open menu, the focus before it
    hold: null,          // {id, x, y, timer} of a finger that may become a long press
    swallowed: null,     // the pointer whose rest went to the menu it opened
    add: function(object) {
      var id = TW.next++;
      TW.objects[id] = object;
      return id;
    },
    colour: function(bgr) {
      var rgb = ((bgr & 0xFF) << 16) | (bgr & 0xFF00) | ((bgr >> 16) & 0xFF);
      return '#' + (0x1000000 + rgb).toString(16).slice(1);
    },
    // Windows' key-state word of a mouse event.
    keyState: function(e) {
      return (e.buttons & 1 ? 1 : 0) | (e.buttons & 2 ? 2 : 0) | (e.buttons & 4 ? 16 : 0) |
             (e.shiftKey ? 4 : 0) | (e.ctrlKey ? 8 : 0);
    },
    push: function(code, word, button, command) {
      TW.queue.push({code: code, word: word, button: button, command: command || 0});
      TW.wakeForInput();
    },
    share: function(kind, text, byUser) {
      TW.shareRequests.push({kind: kind, text: text, byUser: byUser});
      TW.wakeForInput();
    },
    // Mouse codes per button: down, up, double-click follow each other.
    mouseCode: function(e, offset) {
      var base = [513, 519, 516][e.button];
      return base === undefined ? 0 : base + offset;
    },
    // A press's code: a double-click when the same button was pressed within
    // 500 ms and 2 pixels before (Windows' defaults), as pointer events count
    // no clicks.
    pressCode: function(e) {
      var last = TW.lastPress;
      var again = !!last && last.button === e.button && e.timeStamp - last.time <= 500 &&
                   Math.abs(e.clientX - last.x) <= 2 && Math.abs(e.clientY - last.y) <= 2;
      TW.lastPress = again ? null : {button: e.button, time: e.timeStamp, x: e.clientX, y: e.clientY};
      return TW.mouseCode(e, again ? 2 : 0);
    },
    // Mouse, pen and finger alike, through pointer events; only the first
    // finger of several counts. A pen's or finger's press on the screen also
    // reports a move with the button held, so one held still on a knob turns
    // it as a held mouse does once it stirs (a finger lays no moves before
    // its press); a mouse's press alone turns nothing, as on the desktop.
    listenPointer: function(element) {
      element.addEventListener('pointerdown', function(e) {
        if (!e.isPrimary) return;
        TW.swallowed = null;
        var code = TW.pressCode(e);
        if (code) TW.push(code, TW.keyState(e), 0);
        if (e.target.tagName === 'BUTTON') return;
        // The drag goes on outside the window, and its release comes back.
        element.setPointerCapture(e.pointerId);
        if (e.pointerType === 'mouse') return;
        TW.push(512, TW.keyState(e), 0);
        if (e.pointerType === 'touch') TW.holdStart(e);
      });
      element.addEventListener('pointermove', function(e) {
        if (!e.isPrimary || TW.swallowed === e.pointerId) return;
        TW.holdMoved(e);
        TW.push(512, TW.keyState(e), 0);
      });
      element.addEventListener('pointerup', function(e) {
        if (!e.isPrimary || TW.pressEnded(e)) return;
        // A left click on a button arrives as its command, not as a release.
        if (e.target.tagName === 'BUTTON' && e.button === 0) return;
        var code = TW.mouseCode(e, 1);
        if (code) TW.push(code, TW.keyState(e), 0);
      });
      // A pointer the browser takes back ends the drag as a release would.
      element.addEventListener('pointercancel', function(e) {
        if (e.isPrimary && !TW.pressEnded(e)) TW.push(TW.mouseCode({button: 0}, 1), 0, 0);
      });
      // A finger's long press opens the menu by the page's own timer;
      // browsers that also fire this for it would open it twice.
      element.addEventListener('contextmenu', function(e) {
        e.preventDefault();
        if (e.pointerType !== 'touch' && !TW.hold && TW.swallowed === null) TW.push(123, 0, 0);
      });
      element.addEventListener('wheel', function(e) {
        // Ctrl with the wheel zooms the page, and buttons do not turn.
        if (e.ctrlKey || e.target.tagName === 'BUTTON') return;
        // Over a knob the wheel turns it instead of scrolling the page.
        if (e.target.classList.contains('tw-knob')) e.preventDefault();
        TW.cursor = {x: e.clientX, y: e.clientY};
        var turn = TW.wheelTurn(e);
        if (turn) TW.push(522, ((turn & 0xFFFF) << 16) | TW.keyState(e), 0);
      }, {passive: false});
      // A press on the screen leaves the keyboard focus where it is.
      element.addEventListener('mousedown', function(e) {
        if (e.target.tagName !== 'BUTTON') e.preventDefault();
      });
    },
    // The wheel's turn in Windows' units, 120 a notch, away from the user
    // positive, from either axis (Shift makes the wheel horizontal in some
    // browsers): a notch is three lines, or 100 pixels as Chromium and
    // Firefox scroll it; a page counts as a notch.
    wheelTurn: function(e) {
      var delta = e.deltaY || e.deltaX;
      var units = [1.2, 40, 120][e.deltaMode] || 1.2;
      return Math.max(-32768, Math.min(32767, Math.round(-delta * units)));
    },

    // ---- long press ----
    // A finger held still for holdMs opens the context menu as a right click
    // does. Until then it turns the knob under it as any held finger does;
    // then its press ends as a release, and the rest of that touch (moves,
    // lifting it) goes nowhere, so the knob stays as the menu found it.
    holdMs: 500,
    holdSlop: 8,  // pixels a finger may wander and still be held still
    holdStart: function(e) {
      TW.holdEnd();
      TW.hold = {id: e.pointerId, x: e.clientX, y: e.clientY, timer: setTimeout(TW.holdFire, TW.holdMs)};
    },
    holdMoved: function(e) {
      var hold = TW.hold;
      if (hold && hold.id === e.pointerId &&
          Math.max(Math.abs(e.clientX - hold.x), Math.abs(e.clientY - hold.y)) > TW.holdSlop)
        TW.holdEnd();
    },
    holdEnd: function() {
      if (TW.hold) clearTimeout(TW.hold.timer);
      TW.hold = null;
    },
    holdFire: function() {
      TW.swallowed = TW.hold.id;
      TW.hold = null;
      TW.push(514, 0, 0);
      TW.push(123, 0, 0);
    },
    // Whether the lifted or cancelled pointer's press had already ended: a
    // long press's, which opened the menu.
    pressEnded: function(e) {
      TW.holdEnd();
      if (TW.swallowed !== e.pointerId) return false;
      TW.swallowed = null;
      return true;
    },

    // ---- command keys ----
    // The command of a key pressed while the focus is on the page's window
    // (or nowhere) and no box or menu is open; 0 for none. Only the exact
    // modifiers a key names count; Alt and Meta make no command key.
    commandOfKey: function(e) {
      var keys = TW.commandKeys;
      if (!keys || e.defaultPrevented || e.isComposing || e.altKey || e.metaKey || e.key.length !== 1)
        return 0;
      var owner = TW.objects[keys.window], focus = document.activeElement;
      if (!owner || TW.menu || document.querySelector('dialog[open]')) return 0;
      if (focus && focus !== document.body && !owner.element.contains(focus)) return 0;
      var state = (e.shiftKey ? 4 : 0) | (e.ctrlKey ? 8 : 0), key = e.key.toUpperCase();
      var found = keys.list.find(function(k) { return k.key === key && k.modifiers === state; });
      return found ? found.command : 0;
    },

    // ---- context menu ----
    // A menu of TW.menuEntries with its top-left corner at (x, y) of the
    // window `owner`, moved back inside the viewport where it would leave it.
    // It takes the focus; the arrows, Home and End move along the entries
    // that are enabled, Enter or Space chooses, Escape and Tab close it.
    menuOpen: function(owner, x, y) {
      TW.menuClose();
      var menu = document.createElement('div');
      menu.className = 'tw-menu';
      menu.setAttribute('role', 'menu');
      menu.setAttribute('aria-label', 'Sound');
      menu.tabIndex = -1;
      TW.menuEntries.forEach(function(entry) { menu.appendChild(TW.menuItem(entry)); });
      menu.addEventListener('keydown', TW.menuKey);
      menu.addEventListener('contextmenu', function(e) { e.preventDefault(); });
      document.body.appendChild(menu);
      var box = owner.canvas.getBoundingClientRect();
      var view = document.documentElement;
      var left = box.left + x * box.width / owner.width, top = box.top + y * box.height / owner.height;
      menu.style.left = Math.max(0, Math.min(left, view.clientWidth - menu.offsetWidth)) + 'px';
      menu.style.top = Math.max(0, Math.min(top, view.clientHeight - menu.offsetHeight)) + 'px';
      TW.menu = {element: menu, before: document.activeElement};
      menu.focus({preventScroll: true});
    },
    menuItem: function(entry) {
      var item = document.createElement('div');
      if (!entry.command) {
        item.setAttribute('role', 'separator');
        return item;
      }
      var parts = entry.text.split('\t');
      item.setAttribute('role', 'menuitem');
      item.tabIndex = -1;
      item.textContent = parts[0];
      if (parts[1]) {
        var key = document.createElement('span');
        key.className = 'tw-menu-key';
        key.textContent = parts[1];
        item.appendChild(key);
        item.setAttribute('aria-keyshortcuts', parts[1].replace('Ctrl', 'Control'));
      }
      if (!entry.enabled) {
        item.setAttribute('aria-disabled', 'true');
        return item;
      }
      // The pointer highlights what it is over, as the keyboard does.
      item.addEventListener('pointermove', function() { item.focus({preventScroll: true}); });
      item.addEventListener('click', function() { TW.menuChoose(entry.command); });
      return item;
    },
    menuKey: function(e) {
      var items = Array.from(TW.menu.element.querySelectorAll('[role=menuitem]:not([aria-disabled])'));
      var at = items.indexOf(document.activeElement), last = items.length - 1;
      var to = {ArrowDown: at < last ? at + 1 : 0, ArrowUp: at > 0 ? at - 1 : last,
                Home: 0, End: last}[e.key];
      if (to !== undefined) {
        if (items[to]) items[to].focus({preventScroll: true});
      } else if ((e.key === 'Enter' || e.key === ' ') && at >= 0) {
        items[at].click();
      } else if (e.key === 'Escape' || e.key === 'Tab') {
        TW.menuClose();
      }
      // Nothing typed in the menu reaches the page's keys behind it.
      e.preventDefault();
      e.stopPropagation();
    },
    menuChoose: function(command) {
      TW.menuClose();
      TW.push(273, 0, 0, command);
    },
    // Closes the open menu, if any, and gives the focus back to where it
    // was when the menu opened (the page itself when nothing had it).
    menuClose: function() {
      var menu = TW.menu;
      if (!menu) return;
      TW.menu = null;
      var focused = menu.element.contains(document.activeElement);
      menu.element.remove();
      if (focused && menu.before && menu.before.focus && document.contains(menu.before))
        menu.before.focus({preventScroll: true});
    },
    listenPage: function() {
      TW.listening = true;
      // Where the pointer is and whether it is held, wherever it goes; seen
      // before the window's own listeners (a finger lays no moves before its
      // press).
      ['pointerdown', 'pointermove', 'pointerup', 'pointercancel'].forEach(function(type) {
        document.addEventListener(type, function(e) {
          if (!e.isPrimary) return;
          TW.held = type !== 'pointercancel' && e.buttons !== 0;
          if (type !== 'pointercancel') TW.cursor = {x: e.clientX, y: e.clientY};
        }, true);
      });
      document.documentElement.addEventListener('pointerleave', function() { TW.cursor = null; });
      // A press anywhere but on the menu closes it, and goes on to what it
      // presses; so do leaving the page and a new size of it.
      document.addEventListener('pointerdown', function(e) {
        if (TW.menu && !TW.menu.element.contains(e.target)) TW.menuClose();
      }, true);
      window.addEventListener('blur', function() { TW.menuClose(); });
      window.addEventListener('resize', function() { TW.menuClose(); });
      document.addEventListener('keydown', function(e) {
        var command = TW.commandOfKey(e);
        if (!command) return;
        e.preventDefault();
        TW.push(273, 0, 0, command);
      });
      document.addEventListener('copy', function(e) {
        if (TW.copying !== null) {
          e.preventDefault();
          e.clipboardData.setData('text/plain', TW.copying);
          TW.copying = null;
          return;
        }
        if (document.querySelector('dialog[open]')) return;
        e.preventDefault();
        TW.share(1, '', e.isTrusted);
      });
      document.addEventListener('paste', function(e) {
        if (document.querySelector('dialog[open]')) return;
        e.preventDefault();
        TW.share(2, e.clipboardData.getData('text'));
      });
      window.addEventListener('hashchange', function() {
        TW.share(3, location.hash);
      });
    },
    // Browsers start audio only inside a user gesture: every click on a
    // button offers one. A browser that cannot make an audio context leaves
    // the page silent, not broken: TW.audioProblem says why.
    audioUnlock: function() {
      var Context = window.AudioContext || window.webkitAudioContext;
      if (!Context) {
        TW.audioProblem = 'this browser gives the page no Web Audio';
        return;
      }
      if (!TW.audio) TW.audio = TW.audioContext(Context);
      if (TW.audio && TW.audio.state === 'suspended') TW.audio.resume().catch(function() {});
    },
    audioContext: function(Context) {
      try { return new Context({sampleRate: 44100}); } catch (err) { /* any rate will do */ }
      try {
        return new Context();
      } catch (err) {
        TW.audioProblem = 'the browser could not start Web Audio (' + err.message + ')';
        return null;
      }
    },
    // A silent Preview says once why, in a box of the page's own; the
    // program goes on meanwhile.
    tellSilent: function() {
      if (TW.silentTold) return;
      TW.silentTold = true;
      var body = document.createElement('p');
      body.className = 'tw-box-text tw-icon-48';
      body.textContent = 'Preview plays no sound: ' + TW.audioProblem + '.\n' +
                         'Save wave still writes the sound to a file.';
      TW.dialog('Attention', body, ['OK'], function() {});
    },
    // A modal <dialog> with a title, a body and the buttons of `actions`;
    // `done` gets the dialog's return value once it closed.
    dialog: function(title, body, actions, done) {
      var box = document.createElement('dialog');
      box.className = 'tw-box';
      var heading = document.createElement('div');
      heading.className = 'tw-box-title';
      heading.textContent = title;
      var form = document.createElement('form');
      form.method = 'dialog';
      form.appendChild(body);
      var row = document.createElement('div');
      row.className = 'tw-box-buttons';
      actions.forEach(function(action) {
        var button = document.createElement('button');
        button.textContent = action;
        button.value = action;
        row.appendChild(button);
      });
      form.appendChild(row);
      box.appendChild(heading);
      box.appendChild(form);
      document.body.appendChild(box);
      box.addEventListener('close', function() {
        box.remove();
        done(box.returnValue);
      });
      box.showModal();
      return box;
    },
    // The file name in the save dialog's field: its last part after any
    // folder separator, without the blanks around it, since the page saves
    // into the browser's downloads, where folders mean nothing; '' for none.
    saveName: function(typed) {
      var name = typed.split(/[\/\\]/).pop().trim();
      return name === '.' || name === '..' ? '' : name;
    },
    // Why the field names no file, shown when Save is pressed; '' when it does
    // (an empty field is the browser's own 'required' case).
    saveNameProblem: function(typed) {
      if (!typed || TW.saveName(typed)) return '';
      if (!typed.trim()) return 'The name is only blanks: type a file name.';
      return 'The name holds no file name after its last folder separator: type one.';
    },
    download: function(path) {
      var bytes = FS.readFile(path);
      var url = URL.createObjectURL(new Blob([bytes], {type: 'audio/wav'}));
      var link = document.createElement('a');
      link.href = url;
      link.download = path.slice(path.lastIndexOf('/') + 1);
      document.body.appendChild(link);
      link.click();
      link.remove();
      setTimeout(function() { URL.revokeObjectURL(url); }, 60000);
      FS.unlink(path);
    },
    // Copies `text` through a copy event that the page fires itself, which
    // the browser allows while the user's Ctrl+C still counts as a gesture;
    // the copy listener puts the text into the event's clipboard data. When
    // the browser fires none, the user gets the text to copy by hand.
    copyByEvent: function(text) {
      TW.copying = text;
      try { document.execCommand('copy'); } catch (err) { /* the box below */ }
      var copied = TW.copying === null;
      TW.copying = null;
      if (!copied) TW.showToCopy(text);
    },
    showToCopy: function(text) {
      var field = TW.textField('The browser lets the page copy nothing here. Copy the link yourself:',
                               text);
      field.input.readOnly = true;
      TW.dialog('Link to this sound', field.body, ['OK'], function() {});
      field.input.select();
    },
    // A box's body with a labelled text field holding `value`: {body, input}.
    textField: function(labelText, value) {
      var body = document.createElement('div');
      body.className = 'tw-save';
      var label = document.createElement('label');
      label.textContent = labelText;
      var input = document.createElement('input');
      input.type = 'text';
      input.value = value;
      label.appendChild(input);
      body.appendChild(label);
      return {body: body, input: input};
    },
    // Ellipse and rectangle spans of the drawing service: filled, or XORed
    // into the pixels (the desktop's XOR pen) when the style says so.
    span: function(x, y, width, height, bgr, xor) {
      var ctx = TW.drawing.ctx;
      if (!xor) {
        ctx.fillStyle = TW.colour(bgr);
        ctx.fillRect(x, y, width, height);
        return;
      }
      // Pixel access goes by device pixels.
      var image = TW.drawing.image, r = TW.ratio;
      var left = Math.max(x, 0) * r, right = Math.min(x + width, image.width) * r;
      var top = Math.max(y, 0) * r, bottom = Math.min(y + height, image.height) * r;
      if (left >= right || top >= bottom) return;
      var pixels = ctx.getImageData(left, top, right - left, bottom - top);
      for (var i = 0; i < pixels.data.length; i += 4) {
        pixels.data[i] ^= bgr & 0xFF;
        pixels.data[i + 1] ^= (bgr >> 8) & 0xFF;
        pixels.data[i + 2] ^= (bgr >> 16) & 0xFF;
      }
      ctx.putImageData(pixels, left, top);
    },
    // The page's font of a font handle; -1 is the system font.
    fontOf: function(font) {
      return font === -1 ? '12px sans-serif' : TW.objects[font];
    },

    // ---- waking ----
    // Resumes the program in a message task of its own: the task ends the
    // timer nesting, and the input's listeners have all run by then.
    wakeInTask: function(wakeUp) {
      if (!TW.waker) {
        TW.waker = new MessageChannel();
        TW.waker.port1.onmessage = function() {
          TW.nesting = 0;
          TW.wakeUp();
        };
      }
      TW.wakeUp = wakeUp;
      TW.waker.port2.postMessage(0);
    },
    wakeForInput: function() {
      var wakeUp = TW.inputWait;
      TW.inputWait = null;
      if (wakeUp) TW.wakeInTask(wakeUp);
    },
    busy: function() {
      return TW.held || TW.ratioChanged || TW.queue.length > 0 || TW.shareRequests.length > 0 ||
             TW.knobTurns.length > 0 || TW.stale();
    },
    // Whether the picture on show lags an image it shows (each pass shows
    // the same images), or nothing is on show yet.
    stale: function() {
      if (!TW.screen) return false;
      if (!TW.presented) return true;
      for (var i = 1; i < TW.frame.length; i += 4) {
        var image = TW.objects[TW.frame[i]];
        if (image && image.version !== TW.frame[i + 1]) return true;
      }
      return false;
    },

    // ---- pixel ratio ----
    // Canvases hold whole device pixels (the ratio rounded up, as the desktop
    // program does), so shapes and text stay crisp on any screen while every
    // coordinate the program gives stays in its own pixels.
    deviceRatio: function() {
      return Math.max(1, Math.ceil(window.devicePixelRatio || 1));
    },
    // Sizes the canvas of `target` ({canvas, ctx, width, height}) for the
    // ratio, which clears it, and scales its drawing to match.
    fit: function(target) {
      target.canvas.width = target.width * TW.ratio;
      target.canvas.height = target.height * TW.ratio;
      target.ctx.setTransform(TW.ratio, 0, 0, TW.ratio, 0, 0);
      target.ctx.imageSmoothingEnabled = false;
    },
    fill: function(target, style) {
      target.ctx.fillStyle = style;
      target.ctx.fillRect(0, 0, target.width, target.height);
    },
    // Zooming or moving to another screen changes the ratio: the program
    // looks at it between passes (tw_screen_ratio_follow).
    watchRatio: function() {
      matchMedia('(resolution: ' + window.devicePixelRatio + 'dppx)').addEventListener('change', function() {
        TW.ratioChanged = true;
        TW.wakeForInput();
        TW.watchRatio();
      }, {once: true});
    },
    // Places a window's child at (x, y) with the given size, in the window's
    // pixels; the page's style turns these into a layout.
    place: function(element, x, y, width, height) {
      element.style.setProperty('--tw-x', x);
      element.style.setProperty('--tw-y', y);
      element.style.setProperty('--tw-w', width);
      element.style.setProperty('--tw-h', height);
    }
  },

  // ---- sleeping ----
  // Sleeps `ms` milliseconds with the page handed back to the browser.
  // Browsers stretch a timer set from timers nested five deep to 4 ms at
  // least, which would stretch the frame pacing's short waits: such a wait
  // wakes the program in a message task instead, which ends the nesting.
  tw_sleep__deps: ['$TW', '$Asyncify'],
  tw_sleep: function(ms) {
    return Asyncify.handleSleep(function(wakeUp) {
      var nesting = TW.nesting + 1;
      if (ms >= 4 || nesting <= 5) {
        setTimeout(function() {
          TW.nesting = nesting;
          wakeUp();
        }, ms);
        return;
      }
      setTimeout(function() { TW.wakeInTask(wakeUp); }, ms);
    });
  },
  // Waits for the next input unless something moves: a pointer is held,
  // input waits, or the picture on show lags its images. An idle page thus
  // costs no timers at all. The choice is made once, on the way in: the
  // resumed program passes through here again.
  tw_input_wait__deps: ['$TW', '$Asyncify'],
  tw_input_wait: function() {
    return Asyncify.handleSleep(function(wakeUp) {
      if (TW.busy()) wakeUp();
      else TW.inputWait = wakeUp;
    });
  },

  // ---- window, buttons and events ----
  tw_window_open__deps: ['$TW'],
  tw_window_open: function(width, height, title) {
    var host = document.getElementById('tonkelwerk') || document.body;
    var element = document.createElement('div');
    element.className = 'tw-window';
    element.setAttribute('role', 'group');
    element.setAttribute('aria-label', UTF8ToString(title));
    element.style.setProperty('--tw-width', width);
    element.style.setProperty('--tw-height', height);
    var canvas = document.createElement('canvas');
    // The picture says nothing that the knobs' sliders and the buttons do not.
    canvas.setAttribute('aria-hidden', 'true');
    element.appendChild(canvas);
    host.appendChild(element);
    var record = {element: element, canvas: canvas, ctx: canvas.getContext('2d'), width: width,
                  height: height, face: getComputedStyle(element).backgroundColor};
    if (!TW.listening) {
      TW.ratio = TW.deviceRatio();
      TW.watchRatio();
    }
    TW.fit(record);
    // The client area shows the button face until the screen paints.
    TW.fill(record, record.face);
    document.title = UTF8ToString(title);
    if (!TW.listening) TW.listenPage();
    TW.listenPointer(element);
    return TW.add(record);
  },
  tw_window_close__deps: ['$TW'],
  tw_window_close: function(id) {
    var window = TW.objects[id];
    if (window) window.element.remove();
    delete TW.objects[id];
  },
  tw_button_face__deps: ['$TW'],
  tw_button_face: function() {
    var probe = document.createElement('div');
    probe.style.backgroundColor = 'ButtonFace';
    document.body.appendChild(probe);
    var rgb = getComputedStyle(probe).backgroundColor.match(/\d+/g) || [240, 240, 240];
    probe.remove();
    return (+rgb[0]) | (+rgb[1] << 8) | (+rgb[2] << 16);
  },
  tw_button_add__deps: ['$TW'],
  tw_button_add: function(parent, ident, x, y, width, height, text) {
    var window = TW.objects[parent];
    if (!window || !window.element) return 0;
    var button = document.createElement('button');
    button.type = 'button';
    button.textContent = UTF8ToString(text);
    TW.place(button, x, y, width, height);
    window.element.appendChild(button);
    var id = TW.add({element: button});
    // A click names the button as ButtonAdd did: by `ident`, else by id.
    button.addEventListener('click', function() {
      TW.push(13100, 0, ident || id);
      TW.audioUnlock();
    });
    return id;
  },
  tw_button_remove__deps: ['$TW'],
  tw_button_remove: function(id) {
    var button = TW.objects[id];
    if (button) button.element.remove();
    delete TW.objects[id];
  },
  tw_event_next__deps: ['$TW'],
  tw_event_next: function() {
    var event = TW.queue.shift();
    if (!event) return 0;
    if (event.code === 13100) TW.latest.button = event.button;
    else if (event.code === 273) TW.latest.command = event.command;
    else TW.latest.word = event.word;
    return event.code;
  },
  tw_event_word__deps: ['$TW'],
  tw_event_word: function() { return TW.latest.word; },
  tw_event_button__deps: ['$TW'],
  tw_event_button: function() { return TW.latest.button; },
  tw_event_command__deps: ['$TW'],
  tw_event_command: function() { return TW.latest.command; },
  // The command keys of window `id`: cleared, then added one by one, `key`
  // being the character code of a capital letter or a digit.
  tw_command_keys_clear__deps: ['$TW'],
  tw_command_keys_clear: function(id) { TW.commandKeys = {window: id, list: []}; },
  tw_command_key_add__deps: ['$TW'],
  tw_command_key_add: function(command, key, modifiers) {
    TW.commandKeys.list.push({command: command, key: String.fromCharCode(key), modifiers: modifiers});
  },
  // The context menu: its entries one by one, then the menu at (x, y) of
  // window `id`; a tab in an entry's text puts the rest in the key column.
  tw_menu_entry__deps: ['$TW'],
  tw_menu_entry: function(command, text, enabled) {
    TW.menuEntries.push({command: command, text: UTF8ToString(text), enabled: !!enabled});
  },
  tw_menu_open__deps: ['$TW'],
  tw_menu_open: function(id, x, y) {
    var owner = TW.objects[id];
    if (owner && owner.canvas) TW.menuOpen(owner, x, y);
    TW.menuEntries = [];
  },
  // The cursor in the client area of window `id`, edges inclusive; -1 off it.
  // The page may show the window larger or smaller than its own pixels.
  tw_mouse_pos__deps: ['$TW'],
  tw_mouse_pos: function(id, vertical) {
    var window = TW.objects[id];
    if (!window || !TW.cursor || !window.canvas) return -1;
    var box = window.canvas.getBoundingClientRect();
    if (!box.width || !box.height) return -1;
    var x = Math.floor((TW.cursor.x - box.left) * window.width / box.width);
    var y = Math.floor((TW.cursor.y - box.top) * window.height / box.height);
    if (x < 0 || y < 0 || x > window.width || y > window.height) return -1;
    return vertical ? y : x;
  },

  // ---- screen and images ----
  tw_screen_init: function() {
    var canvas = document.createElement('canvas');
    return canvas.getContext && canvas.getContext('2d') ? 1 : 0;
  },
  tw_screen_open__deps: ['$TW'],
  tw_screen_open: function(window, x, y, width, height, stretch, right, bottom) {
    var owner = TW.objects[window];
    if (!owner || !owner.canvas) return 0;
    if (stretch) {
      width = owner.width - x - right;
      height = owner.height - y - bottom;
    }
    TW.screen = {ctx: owner.ctx, x: x, y: y, width: width, height: height};
    TW.frame = [];
    TW.presented = '';
    return 1;
  },
  tw_screen_close__deps: ['$TW'],
  tw_screen_close: function() { TW.screen = null; },
  tw_frame_clear__deps: ['$TW'],
  tw_frame_clear: function(bgr) { TW.frame = [bgr]; },
  tw_frame_show__deps: ['$TW'],
  tw_frame_show: function(image, x, y) { TW.frame.push(image, TW.objects[image].version, x, y); },
  // Whether the recorded frame differs from the one on show.
  tw_frame_changed__deps: ['$TW'],
  tw_frame_changed: function() {
    return TW.screen && TW.frame.join() !== TW.presented ? 1 : 0;
  },
  // Paints the recorded frame.
  tw_frame_present__deps: ['$TW'],
  tw_frame_present: function() {
    var screen = TW.screen;
    if (!screen) return;
    if (!TW.presented) performance.mark('tonkelwerk-first-frame');
    TW.presented = TW.frame.join();
    var ctx = screen.ctx;
    ctx.save();
    ctx.beginPath();
    ctx.rect(screen.x, screen.y, screen.width, screen.height);
    ctx.clip();
    ctx.fillStyle = TW.colour(TW.frame[0] || 0);
    ctx.fillRect(screen.x, screen.y, screen.width, screen.height);
    for (var i = 1; i < TW.frame.length; i += 4) {
      var image = TW.objects[TW.frame[i]];
      if (image) ctx.drawImage(image.canvas, screen.x + TW.frame[i + 2], screen.y + TW.frame[i + 3],
                               image.width, image.height);
    }
    ctx.restore();
  },
  // Looks at the pixel ratio when it changed: sizes every canvas anew and
  // returns 1, after which the images are black until the program draws
  // them again; 0 when the ratio stays.
  tw_screen_ratio_follow__deps: ['$TW'],
  tw_screen_ratio_follow: function() {
    if (!TW.ratioChanged) return 0;
    TW.ratioChanged = false;
    var ratio = TW.deviceRatio();
    if (ratio === TW.ratio) return 0;
    TW.ratio = ratio;
    Object.keys(TW.objects).forEach(function(id) {
      var object = TW.objects[id];
      if (!object.ctx) return;
      TW.fit(object);
      if (object.face) {
        TW.fill(object, object.face);
      } else {
        TW.fill(object, '#000000');
        object.version++;
      }
    });
    TW.presented = '';
    return 1;
  },
  tw_image_new__deps: ['$TW'],
  tw_image_new: function(width, height) {
    var canvas = typeof OffscreenCanvas !== 'undefined' ? new OffscreenCanvas(width, height)
                                                        : document.createElement('canvas');
    var ctx = canvas.getContext('2d');
    if (!ctx) return 0;
    var image = {canvas: canvas, ctx: ctx, width: width, height: height, version: 0};
    TW.fit(image);
    TW.fill(image, '#000000');
    return TW.add(image);
  },
  tw_object_free__deps: ['$TW'],
  tw_object_free: function(id) { delete TW.objects[id]; },
  tw_draw_begin__deps: ['$TW'],
  tw_draw_begin: function(image) {
    var target = TW.objects[image];
    if (!target || !target.ctx) return 0;
    TW.drawing = {ctx: target.ctx, image: target, font: '12px sans-serif'};
    return 1;
  },
  tw_draw_end__deps: ['$TW'],
  tw_draw_end: function() {
    if (TW.drawing) TW.drawing.image.version++;
    TW.drawing = null;
  },
  tw_draw_font__deps: ['$TW'],
  tw_draw_font: function(font) {
    if (TW.drawing && (font === -1 || typeof TW.objects[font] === 'string'))
      TW.drawing.font = TW.fontOf(font);
  },
  tw_draw_span__deps: ['$TW'],
  tw_draw_span: function(x, y, width, height, bgr, xor) {
    if (TW.drawing) TW.span(x, y, width, height, bgr, xor);
  },
  // Draws the text with its top-left corner at (x, y) and returns its width;
  // with `draw` 0 only measures.
  tw_draw_text__deps: ['$TW'],
  tw_draw_text: function(x, y, text, length, textBgr, backBgr, opaque, draw) {
    if (!TW.drawing) return 0;
    var ctx = TW.drawing.ctx;
    var string = UTF8ToString(text, length);
    ctx.font = TW.drawing.font;
    ctx.textBaseline = 'alphabetic';
    var metrics = ctx.measureText(string);
    var width = Math.round(metrics.width);
    if (!draw) return width;
    var ascent = Math.round(metrics.fontBoundingBoxAscent);
    if (opaque) {
      ctx.fillStyle = TW.colour(backBgr);
      ctx.fillRect(x, y, width, ascent + Math.round(metrics.fontBoundingBoxDescent));
    }
    ctx.fillStyle = TW.colour(textBgr);
    ctx.fillText(string, x, y + ascent);
    return width;
  },

  // ---- dialogs and fonts ----
  tw_font_new__deps: ['$TW'],
  tw_font_new: function(face, pixels) {
    // The knobs' "Arial" falls back to its metric twin, then to any sans.
    return TW.add(pixels + 'px "' + UTF8ToString(face) + '", "Liberation Sans", sans-serif');
  },
  tw_message_box__deps: ['$TW', '$Asyncify'],
  tw_message_box: function(title, text, style) {
    return Asyncify.handleSleep(function(wakeUp) {
      var body = document.createElement('p');
      body.className = 'tw-box-text tw-icon-' + style;
      body.textContent = UTF8ToString(text).replace(/\r\n/g, '\n');
      TW.dialog(UTF8ToString(title), body, ['OK'], function() { wakeUp(1); });
    });
  },
  // Asks for a file name; writes it to `out` and returns its length, or
  // returns 0 when the user cancelled.
  tw_save_dialog__deps: ['$TW', '$Asyncify'],
  tw_save_dialog: function(title, typeName, offered, out, outSize) {
    return Asyncify.handleSleep(function(wakeUp) {
      var field = TW.textField('File name: ', UTF8ToString(offered));
      var body = field.body, input = field.input;
      input.name = 'name';
      input.required = true;
      input.autocomplete = 'off';
      input.addEventListener('input', function() {
        input.setCustomValidity(TW.saveNameProblem(input.value));
      });
      var type = document.createElement('div');
      type.textContent = 'Save as type: ' + UTF8ToString(typeName);
      body.appendChild(type);
      var box = TW.dialog(UTF8ToString(title), body, ['Save', 'Cancel'], function(action) {
        var name = action === 'Save' ? TW.saveName(input.value) : '';
        wakeUp(name ? stringToUTF8(name, out, outSize) : 0);
      });
      // Cancel must close the box even with the name still empty.
      box.querySelector('button[value=Cancel]').formNoValidate = true;
      // Typing replaces the offered name.
      input.select();
    });
  },
  // Offers every finished file of the downloads folder as a download, then
  // removes it from the page's memory.
  tw_downloads_offer__deps: ['$TW', '$FS'],
  tw_downloads_offer: function(folder) {
    var path = UTF8ToString(folder);
    FS.readdir(path).forEach(function(name) {
      if (name !== '.' && name !== '..') TW.download(path + name);
    });
  },
  tw_downloads_folder__deps: ['$FS'],
  tw_downloads_folder: function(folder) {
    var path = UTF8ToString(folder);
    try { FS.mkdir(path); } catch (err) { /* there already */ }
  },

  // ---- sound ----
  // A sound of `frames` frames of little-endian 16-bit samples at `data`,
  // interleaved.
  tw_sound_new__deps: ['$TW'],
  tw_sound_new: function(data, frames, channels, rate) {
    if (typeof AudioBuffer === 'undefined') {
      TW.audioProblem = 'this browser gives the page no Web Audio';
      TW.tellSilent();
      return 0;
    }
    var buffer = new AudioBuffer({length: frames, numberOfChannels: channels, sampleRate: rate});
    for (var c = 0; c < channels; c++) {
      var channel = buffer.getChannelData(c);
      for (var i = 0, at = data + 2 * c; i < frames; i++, at += 2 * channels)
        channel[i] = ((HEAPU8[at] | (HEAPU8[at + 1] << 8)) << 16 >> 16) / 32768;
    }
    return TW.add({buffer: buffer, source: null, gain: 1});
  },
  tw_sound_start__deps: ['$TW'],
  tw_sound_start: function(id) {
    var sound = TW.objects[id];
    TW.audioUnlock();
    if (!sound) return 0;
    if (!TW.audio) {
      TW.tellSilent();
      return 0;
    }
    if (sound.source) sound.source.stop();
    sound.source = TW.audio.createBufferSource();
    sound.source.buffer = sound.buffer;
    sound.node = TW.audio.createGain();
    sound.node.gain.value = sound.gain;
    sound.source.connect(sound.node).connect(TW.audio.destination);
    sound.source.start();
    return 1;
  },
  tw_sound_gain__deps: ['$TW'],
  tw_sound_gain: function(id, gain) {
    var sound = TW.objects[id];
    if (!sound) return;
    sound.gain = gain;
    if (sound.node) sound.node.gain.value = gain;
  },
  tw_sound_free__deps: ['$TW'],
  tw_sound_free: function(id) {
    var sound = TW.objects[id];
    if (sound && sound.source) {
      sound.source.stop();
      sound.node.disconnect();
    }
    delete TW.objects[id];
  },

  // ---- the knobs as sliders ----
  // A slider over the knob at (x, y) of window `window`, named `name`, with
  // angles 0..`max`, for the keyboard and assistive technology; after the
  // buttons in the focus order. Arrows turn it by `step`, Page Up and Page
  // Down by ten steps, Home and End to either end: each turn waits for the
  // program in TW.knobTurns.
  tw_knob_slider_add__deps: ['$TW'],
  tw_knob_slider_add: function(window, x, y, width, height, name, max, step) {
    var owner = TW.objects[window];
    if (!owner || !owner.element) return 0;
    if (!owner.knobs) {
      owner.knobs = document.createElement('div');
      owner.knobs.className = 'tw-knobs';
      owner.element.appendChild(owner.knobs);
    }
    var slider = document.createElement('div');
    slider.className = 'tw-knob';
    slider.tabIndex = 0;
    slider.setAttribute('role', 'slider');
    slider.setAttribute('aria-label', UTF8ToString(name));
    slider.setAttribute('aria-valuemin', 0);
    slider.setAttribute('aria-valuemax', max);
    TW.place(slider, x, y, width, height);
    owner.knobs.appendChild(slider);
    var record = {element: slider, angle: 0};
    var id = TW.add(record);
    var steps = {ArrowUp: 1, ArrowRight: 1, ArrowDown: -1, ArrowLeft: -1, PageUp: 10, PageDown: -10};
    slider.addEventListener('keydown', function(e) {
      if (e.altKey || e.ctrlKey || e.metaKey) return;
      var angle = e.key === 'Home' ? 0 : e.key === 'End' ? max
                : e.key in steps ? Math.min(max, Math.max(0, record.angle + steps[e.key] * step))
                : -1;
      if (angle < 0) return;
      e.preventDefault();
      record.angle = angle;
      TW.knobTurns.push({slider: id, angle: angle});
      TW.wakeForInput();
    });
    return id;
  },
  // Shows the knob's angle and its caption's text on its slider.
  tw_knob_slider_set__deps: ['$TW'],
  tw_knob_slider_set: function(id, angle, text) {
    var record = TW.objects[id];
    if (!record) return;
    record.angle = angle;
    record.element.setAttribute('aria-valuenow', angle);
    record.element.setAttribute('aria-valuetext', UTF8ToString(text));
  },
  // The next turn asked for by the keyboard: its slider, with the angle
  // written to `angle`; 0 when none waits.
  tw_knob_turn_next__deps: ['$TW'],
  tw_knob_turn_next: function(angle) {
    var turn = TW.knobTurns.shift();
    if (!turn) return 0;
    HEAP32[angle >> 2] = turn.angle;
    return turn.slider;
  },

  // ---- share links ----
  // The next copy (1), paste (2) or new fragment (3); 0 when none waits.
  tw_share_next__deps: ['$TW'],
  tw_share_next: function() {
    TW.shareRequest = TW.shareRequests.shift() || null;
    return TW.shareRequest ? TW.shareRequest.kind : 0;
  },
  // The request's text in UTF-8: its size in bytes, and the text itself,
  // NULs and all, with a terminating NUL after it (`outSize` counts that).
  tw_share_text_size__deps: ['$TW'],
  tw_share_text_size: function() {
    return TW.shareRequest ? lengthBytesUTF8(TW.shareRequest.text) : 0;
  },
  tw_share_text__deps: ['$TW'],
  tw_share_text: function(out, outSize) {
    stringToUTF8(TW.shareRequest ? TW.shareRequest.text : '', out, outSize);
  },
  // Makes the address's fragment the request that tw_share_text reads.
  tw_share_fragment__deps: ['$TW'],
  tw_share_fragment: function() {
    TW.shareRequest = {kind: 3, text: location.hash};
  },
  // Shows `fragment` in the address bar and copies the whole link: through
  // the asynchronous clipboard where the page has it (a secure host, the
  // permission, no iframe without clipboard-write), else through a copy
  // event of the page's own, else in a box to copy by hand. A copy event
  // that a script fired, not the user, gets the address bar only: browsers
  // keep such events from every clipboard.
  tw_share_copy__deps: ['$TW'],
  tw_share_copy: function(fragment) {
    history.replaceState(null, '', '#' + UTF8ToString(fragment));
    var link = location.href;
    if (!TW.shareRequest.byUser) return;
    if (!navigator.clipboard || !navigator.clipboard.writeText) return TW.copyByEvent(link);
    navigator.clipboard.writeText(link).catch(function() { TW.copyByEvent(link); });
  }
});

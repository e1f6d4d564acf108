// The page controls behind the web runtime: every function the C++ side calls (declared in
// page_controls.hpp), each opened by its C++ signature. Controls are numbered handles. The only call
// back into C++ is quorbel_web_click(kind, index), made when the user chooses a row or an option.
// Nothing else here knows of the program: kinds and indexes are handed back as they were given.

mergeInto(LibraryManager.library, {
  $page: {
    controls: [],  // handle -> element
    announcer: null,  // the live region that announces a new hint
    lists: [],     // the lists, the radio inputs and the text areas, for commit/restore
    radios: [],
    texts: [],
    committed: null,  // what they held after the last completed event; null until the form takes Clicks
    stopped: false,   // a failure ended the program
    early: null,      // the last choice the user made before the core attached, played once it has
    encoder: null,    // UTF-8 for the core's text, to it and from it (made on first use)
    decoder: null,

    add: function (element) {
      page.controls.push(element);
      return page.controls.length - 1;
    },
    // The caret to the start, and the contents shown from their start. Setting scrollTop lays the
    // page out at once, so it is set only where the user has scrolled.
    showStart: function (textArea) {
      textArea.setSelectionRange(0, 0);
      if (textArea.scrolled) textArea.scrollTop = 0;
      textArea.scrolled = false;
    },
    // The user chose in a control: its Click goes to C++, and what the controls then hold is kept.
    // A list left with no row (a list can be emptied only by code) gets its row back and raises nothing. Whatever fails on
    // the way (a run-time error, an abort, memory, this script) stops the page, every control put
    // back as it was before the choice.
    choose: function (kind, index, list) {
      if (page.stopped || !page.committed) return;
      if (list && list.selectedIndex < 0) {
        list.selectedIndex = page.committed.rows[page.lists.indexOf(list)];
        return;
      }
      try {
        _quorbel_web_click(kind, index);
      } catch (e) {
        return page.fail(document.getElementById('quorbel-failure').dataset.unexpected);
      }
      page.commit();
    },
    // The one way a failure ends the page (quorbelStop, the page's own, shows it), once.
    fail: function (text) {
      if (page.stopped) return;
      page.stopped = true;
      try {
        if (page.committed) page.restore();
      } finally {
        quorbelStop(text);
      }
    },
    // A read-only text area whose caret the arrow keys move, so that it can be read line by line:
    // a browser's read-only text area scrolls instead. It is editable to the browser only while it
    // has the focus: a new hint written into an editable one costs the frame about a twentieth
    // more, and the hints are written while the pupil is in another control. Every edit is refused
    // before it happens, and one that cannot be refused (an input method's) is undone; assistive
    // technology is told that it is read-only, and a touch screen shows no keyboard for it.
    keepReadOnly: function (area) {
      var caretWhileFocused = function () { area.readOnly = document.activeElement !== area; };
      area.addEventListener('focus', caretWhileFocused);
      area.addEventListener('blur', caretWhileFocused);
      caretWhileFocused();
      area.setAttribute('aria-readonly', 'true');
      area.inputMode = 'none';
      area.kept = area.value;
      area.addEventListener('beforeinput', function (e) { e.preventDefault(); });
      area.addEventListener('input', function () {
        if (area.value === area.kept) return;
        area.value = area.kept;
        page.showStart(area);
      });
    },
    // A list the page draws (role=listbox, its rows role=option) made to answer as a list box does,
    // and to read and set like a <select>: selectedIndex (-1 for none), options, and a bubbling
    // 'change' when the user, not code, moves it to another row. The keyboard: Up, Down, Home, End,
    // Page Up, Page Down and typing a row's first letters; in a list with no row yet, any of those
    // keys takes the first row, as the Windows list box does. The pointer: a mouse chooses as its
    // button goes down and as it is dragged over the rows; a finger or a pen as it lifts (a tap,
    // which the browser then reports as the mouse's), so that a swipe across the list scrolls the
    // page rather than choosing.
    listbox: function (list) {
      var rows = list.children, selected = -1, typed = '', typedAt = 0, mouse = true, dragging = false;
      // The chosen row is told as selected, and as the row the keyboard is on, only while the list
      // has the focus; elsewhere as the current one. A screen reader (Orca) takes any list's change
      // of selection as the pupil moving there and reads that list: the lists the keyboard is not
      // in change their current row, which it leaves alone.
      var marked = null, markedAs = null;
      var mark = function () {
        var row = selected < 0 ? null : rows[selected];
        var as = document.activeElement === list ? 'aria-selected' : 'aria-current';
        if (row === marked && as === markedAs) return;
        if (marked) {
          if (markedAs === 'aria-selected') marked.setAttribute('aria-selected', 'false');
          else marked.removeAttribute('aria-current');
        }
        marked = row;
        markedAs = as;
        if (row) row.setAttribute(as, 'true');
        if (row && as === 'aria-selected') list.setAttribute('aria-activedescendant', row.id);
        else list.removeAttribute('aria-activedescendant');
      };
      var select = function (row) {
        if (row === selected) return;
        selected = row;
        mark();
      };
      // On a move of the focus the marks follow once the event's work is done: a choice made with
      // it (a click moves the focus, then chooses) has marked the rows already.
      var markLater = function () { Promise.resolve().then(mark); };
      list.addEventListener('focus', markLater);
      list.addEventListener('blur', markLater);
      var choose = function (row) {
        if (row < 0 || row === selected) return;
        select(row);
        list.dispatchEvent(new Event('change', { bubbles: true }));
        // A row out of view (a wider text spacing, a taller font) is scrolled to, as a list box does;
        // measured before the next frame, when the page is laid out anyway, not in the choice's.
        requestAnimationFrame(function () {
          var r = rows[selected];
          if (!r) return;
          if (r.offsetTop < list.scrollTop) list.scrollTop = r.offsetTop;
          else if (r.offsetTop + r.offsetHeight > list.scrollTop + list.clientHeight) list.scrollTop = r.offsetTop + r.offsetHeight - list.clientHeight;
        });
      };
      // The row under the pointer: where it went down, or where it is dragged to.
      var rowAt = function (e) {
        var row = e.target.parentNode === list ? e.target : document.elementFromPoint(e.clientX, e.clientY);
        return row && row.parentNode === list ? [].indexOf.call(rows, row) : -1;
      };
      // The rows a page holds, and the first of them on view.
      var onView = function () {
        var height = rows[0].offsetHeight || 1;
        return [Math.max(1, Math.floor(list.clientHeight / height)), Math.ceil(list.scrollTop / height)];
      };
      var keys = {
        ArrowUp: function (at) { return Math.max(at - 1, 0); },
        ArrowDown: function (at) { return at + 1; },
        Home: function () { return 0; },
        End: function () { return rows.length - 1; },
        PageUp: function (at) { var p = onView(); return at > p[1] ? p[1] : at - p[0] + 1; },
        PageDown: function (at) { var p = onView(); return at < p[1] + p[0] - 1 ? p[1] + p[0] - 1 : at + p[0] - 1; }
      };
      // The next row, from the chosen one on, that starts with what was typed within a second; a
      // letter typed again and again goes from row to row of that letter.
      var search = function (key) {
        var now = Date.now();
        typed = now - typedAt > 1000 ? key : typed + key;
        typedAt = now;
        var same = typed.split('').every(function (c) { return c === typed[0]; });
        var wanted = (same ? typed[0] : typed).toLocaleLowerCase();
        for (var i = 0; i < rows.length; ++i) {
          var row = (Math.max(selected, 0) + i + (same && selected >= 0 ? 1 : 0)) % rows.length;
          if (rows[row].textContent.toLocaleLowerCase().startsWith(wanted)) return row;
        }
        return -1;
      };
      list.addEventListener('keydown', function (e) {
        if (e.ctrlKey || e.altKey || e.metaKey) return;
        var move = keys[e.key];
        if (move) choose(selected < 0 ? 0 : Math.min(Math.max(move(selected), 0), rows.length - 1));
        else if (e.key.length === 1 && e.key !== ' ') choose(search(e.key));
        else return;
        e.preventDefault();
      });
      // The list takes the focus before the choice, and the browser none after it: the choice may
      // end in a message that must keep it.
      list.addEventListener('pointerdown', function (e) {
        mouse = e.pointerType === 'mouse';
        if (mouse && e.button === 0) list.setPointerCapture(e.pointerId);
      });
      list.addEventListener('mousedown', function (e) {
        if (e.button !== 0) return;
        e.preventDefault();
        list.focus({ preventScroll: true });
        dragging = mouse;
        choose(rowAt(e));
      });
      list.addEventListener('pointermove', function (e) { if (dragging) choose(rowAt(e)); });
      list.addEventListener('pointerup', function () { dragging = false; });
      list.addEventListener('pointercancel', function () { dragging = false; });
      Object.defineProperty(list, 'selectedIndex', { get: function () { return selected; }, set: select });
      Object.defineProperty(list, 'options', { get: function () { return rows; } });
    },
    announce: function (text) {
      page.announcer = page.announcer || document.querySelector('[aria-live]');
      page.announcer.textContent = text;
    },
    // What the controls hold now, or (written) what the markup gave them; kept in the same arrays
    // from choice to choice.
    commit: function (written) {
      var c = page.committed || { rows: [], checked: [], texts: [] }, i;
      for (i = 0; i < page.lists.length; ++i) {
        c.rows[i] = written ? [].findIndex.call(page.lists[i].options, function (o) { return o.defaultSelected; }) : page.lists[i].selectedIndex;
      }
      for (i = 0; i < page.radios.length; ++i) c.checked[i] = written ? page.radios[i].defaultChecked : page.radios[i].checked;
      for (i = 0; i < page.texts.length; ++i) c.texts[i] = written ? page.texts[i].defaultValue : page.texts[i].value;
      page.committed = c;
    },
    restore: function () {
      var c = page.committed;
      page.lists.forEach(function (l, i) { l.selectedIndex = c.rows[i]; });
      page.radios.forEach(function (r, i) { r.checked = c.checked[i]; });
      page.texts.forEach(function (t, i) {
        if (t.value !== c.texts[i]) {
          t.value = t.kept = c.texts[i];
          page.showStart(t);
        }
      });
    }
  },

  // int quorbel_page_attach(const char* id, int idLength, int eventKind, int index)
  // Finds the control the page's markup holds under this id, listens to the user's choices in it
  // (a list, or the radio input of an option's <label>) and returns its handle.
  quorbel_page_attach__deps: ['$page'],
  quorbel_page_attach: function (id, idLength, eventKind, index) {
    var c = document.getElementById(UTF8ToString(id, idLength));
    var early = c.closest('.form').early;
    if (c.getAttribute('role') === 'listbox') {
      page.listbox(c);
      c.addEventListener('change', function () { page.choose(eventKind, index, c); });
      if (c === early) page.early = function () { c.selectedIndex = c.closest('.form').earlyRow; page.choose(eventKind, index, c); };
      page.lists.push(c);
    } else if (c.tagName === 'TEXTAREA') {
      c.addEventListener('scroll', function () { c.scrolled = c.scrollTop > 0; }, { passive: true });
      if (c.readOnly) page.keepReadOnly(c);
      page.texts.push(c);
    } else if (c.className === 'option') {
      c.firstChild.addEventListener('change', function () { page.choose(eventKind, index, null); });
      if (c.firstChild === early) page.early = function () { page.choose(eventKind, index, null); };
      page.radios.push(c.firstChild);
    }
    return page.add(c);
  },

  // void quorbel_page_show()
  // Every control is attached and the form takes Clicks. The form is drawn before the core starts:
  // the last choice the user made in that moment is played now, from the state the markup gave the
  // controls, which a failure returns them to. The moment is marked for the tests and the benchmark
  // ('quorbel-ready').
  quorbel_page_show__deps: ['$page'],
  quorbel_page_show: function () {
    page.commit(true);
    document.querySelector('.form').attached = true;
    if (page.early) page.early();
    else page.commit();
    performance.mark('quorbel-ready');
  },

  // int quorbel_page_selected_row(int list)
  // The selected row, or -1.
  quorbel_page_selected_row__deps: ['$page'],
  quorbel_page_selected_row: function (list) {
    return page.controls[list].selectedIndex;
  },

  // void quorbel_page_select_row(int list, int row)
  // Selects the row (-1: none); the page raises no event for it, and a list the keyboard is not in
  // tells assistive technology of no change of selection (listbox in page.listbox).
  quorbel_page_select_row__deps: ['$page'],
  quorbel_page_select_row: function (list, row) {
    page.controls[list].selectedIndex = row;
  },

  // int quorbel_page_row_text(int list, int row, char* out, int capacity)
  // Writes the row's text as UTF-8 with a terminating NUL into out, at most capacity bytes, and
  // returns its length in bytes without the NUL (capacity 0 writes nothing: the length alone).
  quorbel_page_row_text__deps: ['$page'],
  quorbel_page_row_text: function (list, row, out, capacity) {
    var option = page.controls[list].options[row], text = option.textContent;
    // The core asks for the length, then for the text: a row's bytes are kept with it while its
    // text stays the same.
    if (option.utf8Of !== text) {
      option.utf8 = (page.encoder = page.encoder || new TextEncoder()).encode(text);
      option.utf8Of = text;
    }
    var bytes = option.utf8;
    if (capacity > bytes.length) {
      HEAPU8.set(bytes, out);
      HEAPU8[out + bytes.length] = 0;
    } else if (capacity > 0) {
      stringToUTF8(text, out, capacity);  // cut short on a whole character
    }
    return bytes.length;
  },

  // int quorbel_page_checked(int option)
  quorbel_page_checked__deps: ['$page'],
  quorbel_page_checked: function (option) {
    return page.controls[option].firstChild.checked ? 1 : 0;
  },

  // void quorbel_page_set_checked(int option, int checked)
  // Checking one option unchecks the others of its group; the page raises no event for either.
  quorbel_page_set_checked__deps: ['$page'],
  quorbel_page_set_checked: function (option, checked) {
    page.controls[option].firstChild.checked = !!checked;
  },

  // void quorbel_page_set_text(int textBox, const char* text, int length)
  // Replaces the whole contents and shows them from the start; a text box on view has its new
  // contents announced, politely, by the page's live region.
  quorbel_page_set_text__deps: ['$page'],
  quorbel_page_set_text: function (textBox, text, length) {
    var area = page.controls[textBox];
    area.value = area.kept = (page.decoder = page.decoder || new TextDecoder()).decode(HEAPU8.subarray(text, text + length));
    page.showStart(area);
    if (!area.hidden) page.announce(area.value);
  },

  // void quorbel_page_fail(const char* message, int length)
  // A failure in the core ends the program: every control goes back to what it held before the
  // user's action, the message is shown and the form reacts to nothing from then on. The core's
  // frames are left by the exception the runtime knows as the end of a call that ran its course.
  quorbel_page_fail__deps: ['$page'],
  quorbel_page_fail: function (message, length) {
    page.fail(UTF8ToString(message, length));
    throw 'unwind';
  }
});

// The page controls behind the web runtime: every function the C++ side calls (declared in
// page_controls.hpp), each opened by its C++ signature. Controls are numbered handles. The only call
// back into C++ is quorbel_web_click(kind, index), made when the user chooses a row or an option.
// Nothing else here knows of the program: kinds and indexes are handed back as they were given.

mergeInto(LibraryManager.library, {
  $page: {
    controls: [],  // handle -> element
    announcer: null,  // the live region that announces a new hint
    lists: [],     // the <select> elements, the radio inputs and the text areas, for commit/restore
    radios: [],
    texts: [],
    committed: null,  // what they held after the last completed event; null until the form takes Clicks
    stopped: false,   // a failure ended the program
    early: null,      // the last choice the user made before the core attached, played once it has

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
    // A list the user emptied (Ctrl+click) gets its row back and raises nothing. Whatever fails on
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
    // a browser's read-only text area scrolls instead. Every edit is refused before it happens,
    // and one that cannot be refused (an input method's) is undone; assistive technology is told
    // that it is read-only, and a touch screen shows no keyboard for it.
    keepReadOnly: function (area) {
      area.readOnly = false;
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
    // Hides the element from assistive technology until the page has drawn two frames, by when
    // the change made meanwhile has reached it as the element's state, not as an event.
    unseen: function (element) {
      element.setAttribute('aria-hidden', 'true');
      requestAnimationFrame(function () {
        requestAnimationFrame(function () { element.removeAttribute('aria-hidden'); });
      });
    },
    announce: function (text) {
      page.announcer = page.announcer || document.querySelector('[aria-live]');
      page.announcer.textContent = text;
    },
    // What the controls hold now, or (written) what the markup gave them.
    commit: function (written) {
      page.committed = {
        rows: page.lists.map(function (l) {
          return written ? [].findIndex.call(l.options, function (o) { return o.defaultSelected; }) : l.selectedIndex;
        }),
        checked: page.radios.map(function (r) { return written ? r.defaultChecked : r.checked; }),
        texts: page.texts.map(function (t) { return written ? t.defaultValue : t.value; })
      };
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
  // (a <select>, or the radio input of an option's <label>) and returns its handle.
  quorbel_page_attach__deps: ['$page'],
  quorbel_page_attach: function (id, idLength, eventKind, index) {
    var c = document.getElementById(UTF8ToString(id, idLength));
    var early = c.closest('.form').early;
    if (c.tagName === 'SELECT') {
      c.addEventListener('change', function () { page.choose(eventKind, index, c); });
      // With nothing chosen, the arrows, Home and End choose the first row, as a list box does;
      // browsers differ (End goes to the last row, an arrow may pass over the first).
      c.addEventListener('keydown', function (e) {
        if (c.selectedIndex >= 0 || e.altKey || e.ctrlKey || e.metaKey || e.shiftKey) return;
        if (['ArrowUp', 'ArrowDown', 'Home', 'End'].indexOf(e.key) < 0) return;
        e.preventDefault();
        c.selectedIndex = 0;
        page.choose(eventKind, index, c);
      });
      if (c === early) page.early = function () { page.choose(eventKind, index, c); };
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
  // Selects the row (-1: none); the page raises no event for it. A list the keyboard is not in
  // changes out of assistive technology's sight: a screen reader told that its selection changed
  // (Orca, of every list box) reads it as if the pupil had moved there.
  quorbel_page_select_row__deps: ['$page'],
  quorbel_page_select_row: function (list, row) {
    var l = page.controls[list];
    if (l !== document.activeElement) page.unseen(l);
    l.selectedIndex = row;
  },

  // int quorbel_page_row_text(int list, int row, char* out, int capacity)
  // Writes the row's text as UTF-8 with a terminating NUL into out, at most capacity bytes, and
  // returns its length in bytes without the NUL (capacity 0 writes nothing: the length alone).
  quorbel_page_row_text__deps: ['$page'],
  quorbel_page_row_text: function (list, row, out, capacity) {
    var text = page.controls[list].options[row].textContent;
    if (capacity > 0) stringToUTF8(text, out, capacity);
    return lengthBytesUTF8(text);
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
    area.value = area.kept = UTF8ToString(text, length);
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

// The page controls behind the web runtime: every function the C++ side calls (declared in
// page_controls.hpp), each opened by its C++ signature. Controls are numbered handles. The only call
// back into C++ is quorbel_web_click(kind, index), made when the user chooses a row or an option.
// Nothing else here knows of the program: kinds and indexes are handed back as they were given.

mergeInto(LibraryManager.library, {
  $page: {
    form: null,
    controls: [],  // handle -> element
    lists: [],     // the <select> elements, the radio inputs and the text areas, for commit/restore
    radios: [],
    texts: [],
    committed: null,  // what they held after the last completed event
    stopped: false,   // a run-time error ended the program

    add: function (element) {
      page.controls.push(element);
      return page.controls.length - 1;
    },
    colour: function (rgb) {
      return '#' + (0x1000000 + rgb).toString(16).slice(1);
    },
    // The caret to the start, and the contents shown from their start. Setting scrollTop lays the
    // page out at once, so it is set only where the user has scrolled (or `always`, at start).
    showStart: function (textArea, always) {
      textArea.setSelectionRange(0, 0);
      if (always || textArea.scrolled) textArea.scrollTop = 0;
      textArea.scrolled = false;
    },
    // The user chose in a control: its Click goes to C++, and what the controls then hold is kept.
    // A list the user emptied (Ctrl+click) gets its row back and raises nothing.
    choose: function (kind, index, list) {
      if (page.stopped) return;
      if (list && list.selectedIndex < 0) {
        list.selectedIndex = page.committed.rows[page.lists.indexOf(list)];
        return;
      }
      _quorbel_web_click(kind, index);
      if (!page.stopped) page.commit();
    },
    commit: function () {
      page.committed = {
        rows: page.lists.map(function (l) { return l.selectedIndex; }),
        checked: page.radios.map(function (r) { return r.checked; }),
        texts: page.texts.map(function (t) { return t.value; })
      };
    },
    restore: function () {
      var c = page.committed;
      page.lists.forEach(function (l, i) { l.selectedIndex = c.rows[i]; });
      page.radios.forEach(function (r, i) { r.checked = c.checked[i]; });
      page.texts.forEach(function (t, i) {
        if (t.value !== c.texts[i]) {
          t.value = c.texts[i];
          page.showStart(t);
        }
      });
    }
  },

  // void quorbel_page_form(const char* caption, int captionLength, int width, int height,
  //                        int background, const char* family, int familyLength, int points,
  //                        int weight, int fontFlags)
  // The form: the caption as the document's title, the client area as a block of width x height
  // CSS pixels in the background colour 0xRRGGBB, and the font every control inherits
  // (fontFlags: 1 italic, 2 underline, 4 struck out, 8 a serif face where the family is missing).
  quorbel_page_form__deps: ['$page'],
  quorbel_page_form: function (caption, captionLength, width, height, background, family,
                               familyLength, points, weight, fontFlags) {
    document.title = UTF8ToString(caption, captionLength);
    var form = page.form = document.createElement('main');
    form.className = 'form';
    var s = form.style;
    s.width = width + 'px';
    s.height = height + 'px';
    s.background = page.colour(background);
    s.fontFamily = '"' + UTF8ToString(family, familyLength) + '"' + (fontFlags & 8 ? ', serif' : '');
    s.fontSize = points + 'pt';
    s.fontWeight = weight;
    s.fontStyle = fontFlags & 1 ? 'italic' : 'normal';
    s.textDecoration = [fontFlags & 2 ? 'underline' : '', fontFlags & 4 ? 'line-through' : ''].join(' ').trim() || 'none';
    document.body.appendChild(form);
  },

  // int quorbel_page_text_box(const char* text, int length, int multiLine, int verticalScrollBar,
  //                           int readOnly)
  // A <textarea> holding the text, shown from its start.
  quorbel_page_text_box__deps: ['$page'],
  quorbel_page_text_box: function (text, length, multiLine, verticalScrollBar, readOnly) {
    var area = document.createElement('textarea');
    area.wrap = multiLine ? 'soft' : 'off';
    area.style.overflowY = verticalScrollBar ? 'scroll' : 'hidden';
    area.readOnly = !!readOnly;
    area.spellcheck = false;
    area.addEventListener('scroll', function () { area.scrolled = area.scrollTop > 0; }, { passive: true });
    area.value = UTF8ToString(text, length);
    page.texts.push(area);
    return page.add(area);
  },

  // int quorbel_page_label(const char* text, int length, int centred)
  // A line of text.
  quorbel_page_label__deps: ['$page'],
  quorbel_page_label: function (text, length, centred) {
    var label = document.createElement('div');
    label.className = 'label';
    label.textContent = UTF8ToString(text, length);
    if (centred) label.style.textAlign = 'center';
    return page.add(label);
  },

  // int quorbel_page_frame(const char* caption, int length)
  // A <fieldset> whose <legend> is the caption; the options placed in it form one radio group.
  quorbel_page_frame__deps: ['$page'],
  quorbel_page_frame: function (caption, length) {
    var frame = document.createElement('fieldset');
    var legend = document.createElement('legend');
    legend.textContent = UTF8ToString(caption, length);
    frame.appendChild(legend);
    return page.add(frame);
  },

  // int quorbel_page_option(const char* caption, int length, int eventKind, int index)
  // A radio input with its caption, in a <label> that is the option's whole box.
  quorbel_page_option__deps: ['$page'],
  quorbel_page_option: function (caption, length, eventKind, index) {
    var box = document.createElement('label');
    box.className = 'option';
    var radio = document.createElement('input');
    radio.type = 'radio';
    radio.addEventListener('change', function () { page.choose(eventKind, index, null); });
    box.append(radio, UTF8ToString(caption, length));
    page.radios.push(radio);
    return page.add(box);
  },

  // int quorbel_page_list(int eventKind, int index)
  // A single-selection <select> showing five rows, none selected.
  quorbel_page_list__deps: ['$page'],
  quorbel_page_list: function (eventKind, index) {
    var list = document.createElement('select');
    list.size = 5;
    list.addEventListener('change', function () { page.choose(eventKind, index, list); });
    page.lists.push(list);
    return page.add(list);
  },

  // void quorbel_page_add_row(int list, const char* text, int length)
  quorbel_page_add_row__deps: ['$page'],
  quorbel_page_add_row: function (list, text, length) {
    var l = page.controls[list];
    l.add(new Option(UTF8ToString(text, length)));
  },

  // void quorbel_page_place(int control, int container, int left, int top, int width, int height,
  //                         int background, int hidden)
  // Puts the control into the form (container -1) or into a frame, at left, top in CSS pixels from
  // the container's outer corner; background 0xRRGGBB, or -1 for the page's default. A hidden
  // control is neither shown nor exposed to assistive technology.
  quorbel_page_place__deps: ['$page'],
  quorbel_page_place: function (control, container, left, top, width, height, background, hidden) {
    var c = page.controls[control];
    var s = c.style;
    s.left = left + 'px';
    s.top = top + 'px';
    s.width = width + 'px';
    s.height = height + 'px';
    if (background >= 0) s.backgroundColor = page.colour(background);
    c.hidden = !!hidden;
    var radio = c.querySelector('input[type=radio]');
    if (radio) radio.name = 'group' + container;
    (container < 0 ? page.form : page.controls[container]).appendChild(c);
  },

  // void quorbel_page_name_by(int control, int label)
  quorbel_page_name_by__deps: ['$page'],
  quorbel_page_name_by: function (control, label) {
    var l = page.controls[label];
    l.id = 'label' + label;
    page.controls[control].setAttribute('aria-labelledby', l.id);
  },

  // int quorbel_page_row_height(int list)
  // The height of the list's first row as laid out, in whole CSS pixels.
  quorbel_page_row_height__deps: ['$page'],
  quorbel_page_row_height: function (list) {
    return Math.ceil(page.controls[list].options[0].getBoundingClientRect().height);
  },

  // int quorbel_page_inner_height(int list)
  quorbel_page_inner_height__deps: ['$page'],
  quorbel_page_inner_height: function (list) {
    return page.controls[list].clientHeight;
  },

  // void quorbel_page_set_row_height(int list, int height)
  quorbel_page_set_row_height__deps: ['$page'],
  quorbel_page_set_row_height: function (list, height) {
    Array.prototype.forEach.call(page.controls[list].options, function (o) {
      o.style.cssText = 'min-height:0;height:' + height + 'px;line-height:' + height + 'px;padding-block:0;overflow:hidden';
    });
  },

  // void quorbel_page_show(int focus)
  // The form is complete: the focus goes to that control, the controls' state is kept as the one
  // a run-time error returns to, and the moment is marked for the benchmark ('quorbel-ready').
  quorbel_page_show__deps: ['$page'],
  quorbel_page_show: function (focus) {
    var c = page.controls[focus];
    c.focus({preventScroll: true});
    if (c.tagName === 'TEXTAREA') page.showStart(c, true);
    page.commit();
    performance.mark('quorbel-ready');
  },

  // int quorbel_page_selected_row(int list)
  // The selected row, or -1.
  quorbel_page_selected_row__deps: ['$page'],
  quorbel_page_selected_row: function (list) {
    return page.controls[list].selectedIndex;
  },

  // void quorbel_page_select_row(int list, int row)
  // Selects the row (-1: none); the page raises no event for it.
  quorbel_page_select_row__deps: ['$page'],
  quorbel_page_select_row: function (list, row) {
    page.controls[list].selectedIndex = row;
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
  // Replaces the whole contents and shows them from the start.
  quorbel_page_set_text__deps: ['$page'],
  quorbel_page_set_text: function (textBox, text, length) {
    var area = page.controls[textBox];
    area.value = UTF8ToString(text, length);
    page.showStart(area);
  },

  // void quorbel_page_fail(const char* message, int length)
  // A run-time error ends the program: every control goes back to what it held before the user's
  // action, the message is shown in an alert, and the form reacts to nothing from then on.
  quorbel_page_fail__deps: ['$page'],
  quorbel_page_fail: function (message, length) {
    page.stopped = true;
    page.restore();
    page.form.inert = true;
    var alert = document.createElement('div');
    alert.className = 'error';
    alert.setAttribute('role', 'alertdialog');
    alert.setAttribute('aria-modal', 'true');
    alert.setAttribute('aria-label', document.title);
    alert.tabIndex = -1;
    alert.textContent = UTF8ToString(message, length);
    document.body.appendChild(alert);
    alert.focus();
  }
});

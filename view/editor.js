// Starts the rich editor (Jodit) on WordEditor.htm and edit.htm, and gives the plug-in the
// global `editor`, whose getSource() answers the HTML being edited, source view included.
(function () {
  'use strict';

  // The page keeps the stored HTML, escaped, in a hidden textarea; the editor takes that
  // textarea over, so the stored HTML is never parsed as part of the page.
  var source = document.getElementById('ExplainSource') || document.getElementById('DescriptionSource');
  // Without the sanitizer no stored HTML is shown: the page stays without an editor, and
  // the plug-in says it cannot open.
  if (!source || typeof Jodit === 'undefined' || typeof DOMPurify === 'undefined') {
    return;
  }
  var fillsPage = source.id === 'DescriptionSource';

  // Stored HTML comes from shared libraries. DOMPurify, the maintained sanitizer, keeps
  // what help text uses (text, links, pictures, lists, tables, inline styles) and takes
  // out everything else:
  var purifying = {
    // HTML only: SVG and MathML parse by rules of their own, the way round a sanitizer.
    USE_PROFILES: { html: true },
    FORBID_TAGS: [
      // Forms and their controls: a radio named like the form's own "type" would join its
      // group and change what the save reads; none has a place in help text.
      'form', 'input', 'button', 'select', 'option', 'optgroup', 'textarea', 'datalist', 'output',
      'keygen', 'fieldset', 'legend', 'label', 'meter', 'progress',
      // Style sheets would restyle the form around the text.
      'style', 'link'
    ],
    FORBID_ATTR: ['form', 'formaction', 'action'],
    // Links of stored help text open where they say.
    ADD_ATTR: ['target']
  };
  // An id or name of the form's own fields inside the text would be found first when the
  // plug-in reads a field by its id.
  DOMPurify.addHook('uponSanitizeAttribute', function (node, data) {
    if ((data.attrName === 'id' || data.attrName === 'name') && document.getElementById(data.attrValue)) {
      data.keepAttr = false;
    }
  });

  // HTML with nothing to take out is handed over as it was stored: the same parser reads
  // it as the sanitizer did.
  function clean(html) {
    if (!html || !/<|&/.test(html)) {
      return html;
    }
    var purified = DOMPurify.sanitize(html, purifying);
    return DOMPurify.removed.length ? purified : html;
  }

  source.value = clean(source.value);

  var wide = ['bold', 'italic', 'underline', 'strikethrough', 'eraser', '|',
              'paragraph', 'fontsize', 'brush', '|', 'ul', 'ol', 'indent', 'outdent', 'align', '|',
              'superscript', 'subscript', '|', 'link', 'image', 'table', 'hr', 'symbols', '|',
              'undo', 'redo', 'find', '|', 'source', 'fullsize'];
  var narrow = ['bold', 'italic', 'underline', 'eraser', '|', 'paragraph', 'brush', '|',
                'ul', 'ol', 'link', 'image', 'table', '|', 'undo', 'redo', '|', 'source', 'dots'];
  var tiny = ['bold', 'paragraph', 'ul', 'link', '|', 'source', 'dots'];

  var jodit = Jodit.make(source, {
    language: 'zh_cn',
    spellcheck: false,
    toolbarButtonSize: 'small',
    toolbarSticky: false,
    buttons: wide,
    buttonsMD: narrow.concat(['strikethrough', 'superscript', 'subscript', 'hr', 'symbols', 'find']),
    buttonsSM: narrow,
    buttonsXS: tiny,
    // Off: plug-ins that would reach the network, open windows or only advertise, and the
    // one that wraps loose top-level text in paragraphs (untouched HTML stays as stored).
    disablePlugins: ['ai-assistant', 'powered-by-jodit', 'about', 'print', 'preview', 'video',
                     'file', 'speech-recognize', 'spellcheck', 'iframe', 'wrap-nodes'],
    hidePoweredByJodit: true,
    // The plain textarea source view: the others load their code from the network.
    sourceEditor: 'area',
    beautifyHTML: false,
    // Keep the stored HTML as it was: <b> and <i> stay, and non-breaking spaces stay.
    cleanHTML: { replaceOldTags: false, replaceNBSP: false, fillEmptyParagraph: false },
    askBeforePasteHTML: false,
    askBeforePasteFromWord: false,
    defaultActionOnPaste: 'insert_clear_html',
    // Pictures are kept in the HTML itself; there is no server to upload them to.
    uploader: { insertImageAsBase64URI: true },
    // Help pages open links themselves; "new tab" links would reach the plug-in as commands.
    link: { openInNewTabCheckbox: false, noFollowCheckbox: false },
    placeholder: fillsPage ? '在此输入分类描述…' : '在此输入说明…',
    showCharsCounter: !fillsPage,
    showWordsCounter: false,
    showXPathInStatusbar: !fillsPage,
    statusbar: !fillsPage,
    allowResizeX: false,
    allowResizeY: !fillsPage,
    height: fillsPage ? '100%' : 300,
    minHeight: fillsPage ? 120 : 160
  });

  // The source view hands its text to the editor a moment after each keystroke; a read in
  // between takes the text straight from the view, without disturbing the person typing.
  function flushSourceView() {
    if (jodit.getMode() === Jodit.MODE_WYSIWYG) {
      return;
    }
    var mirror = jodit.container.querySelector('textarea.jodit-source__mirror');
    if (!mirror) {
      return;
    }
    var text = mirror.value;
    var start = mirror.selectionStart;
    var end = mirror.selectionEnd;
    jodit.value = clean(text);
    if (mirror.value !== text) {
      mirror.value = text;
      mirror.setSelectionRange(start, end);
    }
  }

  window.editor = {
    // The HTML being edited, as the editor serialises it.
    getSource: function () {
      flushSourceView();
      return jodit.value;
    },
    setSource: function (html) {
      jodit.value = clean(String(html));
    },
    jodit: jodit
  };

  // The category slots and the owner field follow the type chosen: a member belongs to
  // an entry, anything else to categories.
  document.addEventListener('change', function (e) {
    var t = e.target;
    if (!t || t.name !== 'type' || !t.checked) {
      return;
    }
    var member = Number(t.value) >= 20;
    for (var n = 1; n <= 5; n++) {
      var slot = document.getElementById('fenglei' + n);
      if (slot) {
        slot.style.display = member ? 'none' : '';
      }
    }
    var owner = document.getElementById('chenyuan');
    if (owner) {
      owner.style.display = member ? '' : 'none';
    }
  });

  // Whatever is dropped where nothing takes it (a file, a link, a picture) would make the
  // browser open it in place of the form, and what was typed would be gone. Text fields
  // take dropped text as text; the HTML editor takes files and links itself; anything
  // else is refused.
  function inEditor(target) {
    return target && target.closest && target.closest('.jodit-container');
  }
  function takesText(target) {
    if (!target || target.nodeType !== 1) {
      return false;
    }
    var tag = target.tagName;
    if (tag === 'TEXTAREA') {
      return true;
    }
    if (tag === 'INPUT') {
      var type = (target.getAttribute('type') || 'text').toLowerCase();
      return type === 'text' || type === 'search' || type === 'url';
    }
    return target.isContentEditable === true;
  }
  function carriesFiles(e) {
    var types = e.dataTransfer && e.dataTransfer.types;
    return types && Array.prototype.indexOf.call(types, 'Files') >= 0;
  }
  function refused(e) {
    if (inEditor(e.target)) {
      return false;
    }
    return carriesFiles(e) || !takesText(e.target);
  }
  window.addEventListener('dragover', function (e) {
    if (refused(e)) {
      e.preventDefault();
      e.dataTransfer.dropEffect = 'none';
    }
  });
  window.addEventListener('drop', function (e) {
    if (refused(e) || carriesFiles(e)) {
      e.preventDefault();
    }
  });
}());

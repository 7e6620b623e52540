// The remote's pages: the state arrives over the WebSocket at every change
// (the live page's frames over a WebSocket of their own); commands go as
// POST /api/command. The key travels in a cookie.
var quilo = (function () {
  // The key came in the address once; the cookie carries it from now on, so
  // it leaves the address bar and the history (the other parameters stay).
  var params = new URLSearchParams(location.search);
  if (params.has('t')) {
    params.delete('t');
    var rest = params.toString();
    history.replaceState(null, '', location.pathname + (rest ? '?' + rest : ''));
  }
  // Whether the page still reaches the show, said on top of every page: a
  // page never goes on showing a show it has lost. The captions page is on
  // air: it says nothing and shows no caption instead.
  var onAir = document.body.classList.contains('captions');
  var link = document.createElement('div');
  link.id = 'link';
  link.setAttribute('role', 'alert');
  link.hidden = true;
  if (!onAir) document.body.insertBefore(link, document.body.firstChild);
  var connected = false;
  function say(text) {
    link.textContent = text;
    link.hidden = !text;
    document.body.classList.toggle('lost', !!text);
  }
  var noKey = 'Questa pagina non ha più la chiave del telecomando: inquadrare di nuovo il ' +
              'codice QR (Ctrl+R sul computer dello spettacolo).';
  var retrying = 'Collegamento con lo spettacolo perso: riprovo…';
  function lost() {
    connected = false;
    fetch('/api/state').then(function (r) {
      if (!connected) say(r.status === 403 ? noKey : retrying);
    }, function () { if (!connected) say(retrying); });
  }
  function command(body) {
    return fetch('/api/command', { method: 'POST', body: JSON.stringify(body),
                                   headers: { 'Content-Type': 'application/json' } })
      .then(function (r) { if (r.status === 403) say(noKey); return r; }, lost);
  }
  // A socket that does not open within two seconds counts as lost too.
  function open(path, onMessage, onLost) {
    var socket = new WebSocket((location.protocol === 'https:' ? 'wss://' : 'ws://') + location.host + path);
    var late = setTimeout(function () { if (!connected) lost(); }, 2000);
    socket.binaryType = 'blob';
    socket.onmessage = onMessage;
    socket.onopen = function () { clearTimeout(late); connected = true; say(''); };
    socket.onclose = function () {
      clearTimeout(late);
      lost();
      if (onLost) onLost();
      setTimeout(function () { open(path, onMessage, onLost); }, 1000);
    };
  }
  function listen(onState, onLost) {
    open('/ws', function (event) { onState(JSON.parse(event.data)); }, onLost);
  }
  // A thumbnail not painted yet is asked again; a line with none hides it.
  function thumbnail(line) {
    var image = document.createElement('img');
    image.alt = '';
    image.loading = 'lazy';
    var tries = 0;
    image.onerror = function () {
      if (++tries > 2) { image.className = 'none'; return; }
      setTimeout(function () { image.src = '/api/thumb?line=' + line + '&r=' + tries; }, 1000);
    };
    image.src = '/api/thumb?line=' + line;
    return image;
  }
  function text(id, value) { document.getElementById(id).textContent = value; }
  function seconds(at) {
    var p = at.split(':');
    return Number(p[1]) * 60 + Number(p[2]);
  }
  function clock(s) {
    var h = Math.floor(s / 3600), m = Math.floor(s / 60) % 60, r = s % 60;
    return (h ? h + ':' + String(m).padStart(2, '0') : m) + ':' + String(r).padStart(2, '0');
  }
  function status(state) {
    var words = state.ended ? 'Finito'
      : state.transport === 'playing' ? 'In riproduzione'
      : state.transport === 'paused' ? 'In pausa' : 'Fermo';
    if (state.pause !== null && state.pause !== undefined)
      words += ' · pausa del copione: ancora ' + state.pause + ' s';
    if (state.black) words += ' · schermo nero';
    return words;
  }
  // The largest font (up to `most` px) at which an element's text fits its box.
  function fit(element, most) {
    var low = 12, high = most;
    while (high - low > 1) {
      var middle = Math.floor((low + high) / 2);
      element.style.fontSize = middle + 'px';
      if (element.scrollHeight <= element.clientHeight && element.scrollWidth <= element.clientWidth)
        low = middle;
      else
        high = middle;
    }
    element.style.fontSize = low + 'px';
  }

  // The remote's cue list: it follows the show, except while the operator's
  // finger is on it or has just left it; a cue is chosen by a tap and the
  // show goes there only at a second tap on the chosen cue.
  var kHoldMs = 8000, kChosenMs = 6000;
  function cueList(onJump) {
    var list = document.getElementById('cues');
    var back = document.getElementById('back');
    var touching = false, touchedAt = 0, chosen = null, chosenAt = 0, current = -1;
    function holding() { return touching || Date.now() - touchedAt < kHoldMs; }
    function touched() { touchedAt = Date.now(); back.hidden = false; }
    ['touchstart', 'pointerdown', 'wheel', 'keydown'].forEach(function (name) {
      list.addEventListener(name, function () {
        touching = name === 'touchstart' || name === 'pointerdown';
        touched();
      },
                            { passive: true });
    });
    ['touchmove', 'scroll'].forEach(function (name) {
      list.addEventListener(name, function () { if (touching) touched(); }, { passive: true });
    });
    ['touchend', 'touchcancel', 'pointerup', 'pointercancel'].forEach(function (name) {
      list.addEventListener(name, function () { touching = false; touched(); }, { passive: true });
    });
    function choose(item) {
      if (chosen) chosen.classList.remove('chosen');
      chosen = item;
      chosenAt = Date.now();
      if (item) item.classList.add('chosen');
    }
    function follow(smooth) {
      var item = list.querySelector('li.current');
      if (item) item.scrollIntoView({ block: 'center', behavior: smooth ? 'smooth' : 'auto' });
    }
    // A phone turned on its side lays the list out anew: the current cue is
    // brought back into view, unless the operator is on the list.
    window.addEventListener('resize', function () { if (!holding()) follow(false); });
    back.addEventListener('click', function () {
      touchedAt = 0; touching = false; back.hidden = true; choose(null); follow(true);
    });
    function fill(cues) {
      list.textContent = '';
      chosen = null;
      cues.forEach(function (cue) {
        var item = document.createElement('li');
        item.dataset.line = cue.line;
        item.dataset.at = cue.at;
        item.setAttribute('role', 'button');
        item.appendChild(thumbnail(cue.line));
        var at = document.createElement('span');
        at.className = 'at';
        at.textContent = cue.at;
        var words = document.createElement('span');
        words.className = 'words';
        words.appendChild(at);
        words.appendChild(document.createTextNode(cue.letter + ' ' + cue.text));
        var hint = document.createElement('span');
        hint.className = 'hint';
        hint.textContent = 'Tocca di nuovo per andare qui';
        words.appendChild(hint);
        item.appendChild(words);
        item.addEventListener('click', function () {
          touched();
          if (chosen === item && Date.now() - chosenAt < kChosenMs) {
            choose(null);
            onJump(item.dataset.at);
          } else {
            choose(item);
          }
        });
        list.appendChild(item);
      });
      show(current, true);
    }
    function show(line, always) {
      if (chosen && Date.now() - chosenAt >= kChosenMs) choose(null);
      if (!holding()) back.hidden = true;
      var changed = line !== current;
      current = line;
      list.querySelectorAll('li').forEach(function (item) {
        item.classList.toggle('current', Number(item.dataset.line) === line);
      });
      if ((changed || always) && !holding()) follow(false);
    }
    return { fill: fill, show: show };
  }

  return {
    remote: function () {
      document.querySelectorAll('button[data-cmd]').forEach(function (b) {
        b.addEventListener('click', function () { command({ cmd: b.dataset.cmd }); });
      });
      var black = false;
      var blackButton = document.getElementById('black');
      blackButton.addEventListener('click', function () { command({ cmd: 'black', on: !black }); });
      var message = document.getElementById('message');
      document.querySelector('#say form').addEventListener('submit', function (event) {
        event.preventDefault();
        command({ cmd: 'message', text: message.value });
      });
      document.getElementById('unsay').addEventListener('click', function () {
        message.value = '';
        command({ cmd: 'message', text: '' });
      });
      var list = cueList(function (at) { command({ cmd: 'goto', at: at }); });
      var version = null, fetching = null;
      function cues(wanted) {
        if (wanted === version || wanted === fetching) return;
        fetching = wanted;
        fetch('/api/cues').then(function (r) { return r.json(); }).then(function (all) {
          version = wanted;
          fetching = null;
          list.fill(all);
        }, function () { fetching = null; });
      }
      listen(function (state) {
        text('position', state.position);
        text('script', state.script);
        text('status', status(state));
        black = !!state.black;
        blackButton.textContent = black ? 'Mostra lo schermo' : 'Schermo nero';
        blackButton.setAttribute('aria-pressed', String(black));
        document.body.classList.toggle('black', black);
        var waiting = document.getElementById('waiting');
        waiting.hidden = !state.waiting;
        waiting.textContent = state.waiting
          ? 'Sul computer dello spettacolo un messaggio attende OK: «' + state.waiting +
            '». La musica va avanti; i comandi aspettano.' : '';
        cues(state.cues);
        list.show(state.current ? state.current.line : -1);
      });
    },
    stage: function () {
      var current = document.getElementById('current');
      var next = document.getElementById('next');
      function cue(element, value) {
        element.textContent = '';
        if (!value) { element.textContent = '—'; return; }
        if (value.kind === 'picture') {
          element.appendChild(thumbnail(value.line));
        } else if (value.kind === 'sound') {
          element.textContent = '♪ suono';
        } else {
          element.textContent = value.text.replace(/^\s+/, '') || '—';
        }
      }
      function layout() {
        fit(current, Math.floor(window.innerHeight * 0.4));
        fit(next, Math.floor(window.innerHeight * 0.15));
      }
      window.addEventListener('resize', layout);
      function daytime() {
        var now = new Date();
        text('daytime', String(now.getHours()).padStart(2, '0') + ':' +
                        String(now.getMinutes()).padStart(2, '0'));
      }
      daytime();
      setInterval(daytime, 1000);
      var shown = '';
      listen(function (state) {
        text('clock', state.position.substring(0, 8));
        var times = [];
        if (state.elapsed !== null && state.elapsed !== undefined)
          times.push('trascorsi ' + clock(state.elapsed));
        if (state.remaining !== null && state.remaining !== undefined)
          times.push('mancano ' + clock(state.remaining));
        text('times', times.join(' · '));
        text('status', status(state));
        var box = document.getElementById('message');
        box.hidden = !state.message;
        box.textContent = state.message || '';
        var left = state.next && state.next.at.substring(0, 2) === state.position.substring(0, 2)
          ? seconds(state.next.at) - Math.floor(state.ms / 1000) : null;
        text('countdown', left !== null && left >= 0 ? 'tra ' + left + ' s' : '');
        var key = JSON.stringify([state.current, state.next]);
        if (key !== shown) {
          shown = key;
          cue(current, state.current);
          cue(next, state.next);
          layout();
        }
      });
    },
    captions: function () {
      var caption = document.getElementById('caption');
      var size = Number(params.get('size'));
      if (size >= 12 && size <= 200) caption.style.fontSize = size + 'px';
      var where = params.get('pos');
      if (where === 'top' || where === 'middle') document.body.classList.add(where);
      var colour = params.get('color');
      if (/^[0-9a-fA-F]{6}$/.test(colour || '')) caption.style.color = '#' + colour;
      listen(function (state) {
        var cue = state.current;
        caption.textContent = cue && cue.kind === 'text' && !state.black
          ? cue.text.replace(/^\s+/, '') : '';
      }, function () { caption.textContent = ''; });
    },
    live: function () {
      var frame = document.getElementById('frame');
      open('/ws/live', function (event) {
        var old = frame.src;
        frame.src = URL.createObjectURL(event.data);
        if (old) URL.revokeObjectURL(old);
      });
    }
  };
})();

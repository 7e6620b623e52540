// The remote's pages: the state arrives over the WebSocket at every change
// (the live page's frames over a WebSocket of their own); commands go as
// POST /api/command. The token travels in a cookie.
var quilo = (function () {
  // The key came in the address once; the cookie carries it from now on, so
  // it leaves the address bar and the history.
  if (/[?&]t=/.test(location.search)) history.replaceState(null, '', location.pathname);
  // Whether the page still reaches the show, said on top of every page: a
  // page never goes on showing a show it has lost.
  var link = document.createElement('div');
  link.id = 'link';
  link.setAttribute('role', 'alert');
  link.hidden = true;
  document.body.insertBefore(link, document.body.firstChild);
  function say(text) {
    link.textContent = text;
    link.hidden = !text;
    document.body.classList.toggle('lost', !!text);
  }
  var noKey = 'Questa pagina non ha più la chiave del telecomando: inquadrare di nuovo il ' +
              'codice QR (Ctrl+R sul computer dello spettacolo).';
  function lost() {
    fetch('/api/state').then(function (r) {
      say(r.status === 403 ? noKey : 'Collegamento con lo spettacolo perso: riprovo…');
    }, function () { say('Collegamento con lo spettacolo perso: riprovo…'); });
  }
  function command(cmd, at) {
    var body = { cmd: cmd };
    if (at) body.at = at;
    return fetch('/api/command', { method: 'POST', body: JSON.stringify(body),
                                   headers: { 'Content-Type': 'application/json' } })
      .then(function (r) { if (r.status === 403) say(noKey); return r; }, lost);
  }
  function open(path, onMessage) {
    var socket = new WebSocket((location.protocol === 'https:' ? 'wss://' : 'ws://') + location.host + path);
    socket.binaryType = 'blob';
    socket.onmessage = onMessage;
    socket.onopen = function () { say(''); };
    socket.onclose = function () {
      lost();
      setTimeout(function () { open(path, onMessage); }, 1000);
    };
  }
  function listen(onState) {
    open('/ws', function (event) { onState(JSON.parse(event.data)); });
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
  return {
    remote: function () {
      document.querySelectorAll('button[data-cmd]').forEach(function (b) {
        b.addEventListener('click', function () { command(b.dataset.cmd); });
      });
      fetch('/api/cues').then(function (r) { return r.json(); }).then(function (cues) {
        var list = document.getElementById('cues');
        cues.forEach(function (cue) {
          var item = document.createElement('li');
          item.dataset.line = cue.line;
          item.setAttribute('role', 'button');
          item.appendChild(thumbnail(cue.line));
          var at = document.createElement('span');
          at.className = 'at';
          at.textContent = cue.at;
          var words = document.createElement('span');
          words.appendChild(at);
          words.appendChild(document.createTextNode(cue.letter + ' ' + cue.text));
          item.appendChild(words);
          item.addEventListener('click', function () { command('goto', cue.at); });
          list.appendChild(item);
        });
      });
      listen(function (state) {
        text('position', state.position);
        text('script', state.script);
        var line = state.current ? state.current.line : -1;
        document.querySelectorAll('#cues li').forEach(function (item) {
          var now = Number(item.dataset.line) === line;
          if (now && !item.classList.contains('current')) item.scrollIntoView({ block: 'center' });
          item.classList.toggle('current', now);
        });
      });
    },
    stage: function () {
      listen(function (state) {
        text('clock', state.position.substring(0, 8));
        text('current', state.current ? state.current.text : '—');
        text('next', state.next ? state.next.text : '—');
        var left = state.next && state.next.at.substring(0, 2) === state.position.substring(0, 2)
          ? seconds(state.next.at) - Math.floor(state.ms / 1000) : null;
        text('countdown', left !== null && left >= 0 ? 'tra ' + left + ' s' : '');
        text('pause', state.pause !== null && state.pause !== undefined
          ? 'Pausa: ancora ' + state.pause + ' s' : '');
      });
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

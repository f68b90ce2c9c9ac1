'use strict';
// The web remote's page: read-outs pushed over a WebSocket, controls sent as
// one line of text each, the latest hits as a list.
(() => {
  const token = new URLSearchParams(location.search).get('token') || '';
  const $ = (id) => document.getElementById(id);
  let socket = null;
  let state = {};
  let retry = 500;

  function send(line) {
    if (socket && socket.readyState === WebSocket.OPEN) socket.send(line);
    else $('message').textContent = 'Not connected.';
  }

  function show(s) {
    state = s;
    $('frequency').textContent = s.receiver ? s.frequency : 'NO RECEIVER';
    $('signal').value = Math.max(0, s.signal);
    $('signal').textContent = String(Math.max(0, s.signal));
    $('mode').textContent = s.mode;
    $('scanState').textContent = s.scanMode + ': ' + s.scanState;
    $('bank').textContent = String(s.bank);
    $('channel').textContent = s.channel;
    $('comment').textContent = s.comment;
    $('hold').textContent = s.scanState === 'holding' ? 'Resume' : 'Hold';
    // Only a running scan is held, and only a held one resumed.
    $('hold').disabled = !['holding', 'scanning', 'stopped on a signal'].includes(s.scanState);
    if (document.activeElement !== $('modeSelect')) $('modeSelect').value = s.mode;
    if (document.activeElement !== $('linkSet')) $('linkSet').value = String(s.linkSet);
    document.body.dataset.frequency = s.frequency;
  }

  function megahertz(hz) { return (hz / 1e6).toFixed(6); }

  function showHits(hits) {
    const list = $('hits');
    list.replaceChildren(...hits.map((hit) => {
      const item = document.createElement('li');
      const when = new Date(hit.start * 1000).toLocaleTimeString();
      const text = document.createElement('span');
      text.textContent = `${when} ${megahertz(hit.hz)} MHz ${hit.mode} ${hit.seconds} s` +
        (hit.comment ? ` ${hit.comment}` : '');
      item.append(text);
      if (hit.recording) {
        const play = document.createElement('button');
        play.type = 'button';
        play.textContent = 'Play';
        play.setAttribute('aria-label', `Play the recording of ${megahertz(hit.hz)} MHz at ${when}`);
        play.addEventListener('click', () => {
          new Audio(`recording?token=${encodeURIComponent(token)}&id=${hit.id}`).play();
        });
        item.append(play);
      }
      return item;
    }));
  }

  const handlers = {
    state: show,
    hits: (m) => showHits(m.hits),
    reply: (m) => {
      $('message').textContent = m.ok ? '' : m.error;
      if (!m.ok && m.command.startsWith('listen on')) stopListening();
    },
    audio: (m) => {
      $('listen').disabled = false;
      $('listen').dataset.available = m.available ? 'yes' : 'no';
      if (m.problem) $('message').textContent = m.problem;
    },
  };

  function connect() {
    socket = new WebSocket(`ws://${location.host}/ws?token=${encodeURIComponent(token)}`);
    socket.binaryType = 'arraybuffer';
    socket.addEventListener('open', () => {
      $('link').textContent = 'Connected.';
      retry = 500;
      // A new socket is a new listener to the program.
      if (player) send(`listen on ${player.form}`);
    });
    socket.addEventListener('message', (event) => {
      if (typeof event.data !== 'string') {
        onFrame(event.data);
        return;
      }
      const message = JSON.parse(event.data);
      const handler = handlers[message.type];
      if (handler) handler(message);
    });
    socket.addEventListener('close', (event) => {
      $('link').textContent = event.reason ? `Disconnected: ${event.reason}` : 'Disconnected; trying again…';
      setTimeout(connect, retry);
      retry = Math.min(retry * 2, 10000);
    });
  }

  for (let k = 1; k <= 20; ++k) $('linkSet').append(new Option(`Link set ${k}`, String(k)));
  document.querySelectorAll('button[data-command]').forEach((button) => {
    button.addEventListener('click', () => send(button.dataset.command));
  });
  $('hold').addEventListener('click', () => send(state.scanState === 'holding' ? 'resume' : 'hold'));
  $('tuneForm').addEventListener('submit', (event) => {
    event.preventDefault();
    const text = $('tuneTo').value.trim();
    if (!/^[0-9]{1,4}(\.[0-9]{0,6})?$/.test(text)) {
      $('message').textContent = 'Type a frequency in megahertz, such as 145.5.';
      return;
    }
    send(`tune ${text}`);
  });
  $('modeSelect').addEventListener('change', () => send(`mode ${$('modeSelect').value}`));
  $('linkSet').addEventListener('change', () => send(`linkset ${$('linkSet').value}`));

  // "Listen": the sound module loads with the first press (browsers start
  // sound only after a gesture); frames from the socket go to its player.
  let player = null;
  const audioModule = () => import(`./audio.js?token=${encodeURIComponent(token)}`);

  // The form playing shows beside the button: "Opus", or "compatible" on a
  // browser without WebCodecs (such as a phone over plain http).
  function showListening(on, label = '') {
    $('listen').setAttribute('aria-pressed', String(on));
    $('audioForm').textContent = on ? label : '';
  }

  function stopListening() {
    if (player) player.stop();
    player = null;
    showListening(false);
  }

  async function startListening() {
    if ($('listen').dataset.available !== 'yes') {
      $('message').textContent = 'Audio is not available.';
      return;
    }
    let module;
    let candidate;
    try {
      module = await audioModule();
      candidate = module.createAudioPlayer();
    } catch (e) {
      $('message').textContent = 'Audio is not available.';
      return;
    }
    if (!(await candidate.start())) {
      $('message').textContent = candidate.problem || 'Audio is not available.';
      return;
    }
    player = candidate;
    showListening(true, module.FORMS[player.form].label);
    send(`listen on ${player.form}`);
  }

  $('listen').addEventListener('click', () => {
    if (player) {
      stopListening();
      send('listen off');
    } else {
      startListening();
    }
  });

  function onFrame(data) {
    if (!player) return;
    player.push(data);
    // A decoder fault shows once, as it happens.
    if (player.problem && $('message').textContent !== player.problem)
      $('message').textContent = player.problem;
  }

  connect();
})();

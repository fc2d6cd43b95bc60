// Keeps the screen on while a session runs, so that a phone lying beside the
// board does not dim and lock while the player thinks or throws: a screen wake
// lock is asked for when a session starts ('quiverly:session') and again each
// time the page comes back into sight (the browser lets it go when the page is
// hidden), and let go when the session ends. Where the browser has no wake
// lock, or refuses one, nothing else changes.
'use strict';

(function () {
  let running = false;
  let lock = null;

  function ask() {
    if (!running || lock !== null || !navigator.wakeLock || document.visibilityState !== 'visible') return;
    const asked = Promise.resolve()
      .then(() => navigator.wakeLock.request('screen'))
      .then((sentinel) => {
        sentinel.addEventListener('release', () => {
          if (lock === asked) lock = null;
        });
        return sentinel;
      })
      .catch(() => {
        if (lock === asked) lock = null;
        return null;
      });
    lock = asked;
  }

  document.addEventListener('quiverly:session', ({ detail }) => {
    running = detail.state === 'started';
    if (running) {
      ask();
    } else if (lock !== null) {
      const held = lock;
      lock = null;
      held.then((sentinel) => sentinel && sentinel.release()).catch(() => {});
    }
  });
  document.addEventListener('visibilitychange', ask);
})();

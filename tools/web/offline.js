// Loaded by every page of the site. Over HTTP(S) the site can be installed as an app and is kept
// for use without a network (sw.js); opened from disk it needs neither, and a browser refuses
// both there.
(function () {
  if (location.protocol !== 'http:' && location.protocol !== 'https:') return;
  const manifest = document.createElement('link');
  manifest.rel = 'manifest';
  manifest.href = 'manifest.webmanifest';
  document.head.appendChild(manifest);
  if ('serviceWorker' in navigator) navigator.serviceWorker.register('sw.js').catch(function () {});
})();

// The page's first script, a plain one run before anything else: when something keeps the page's
// own files from it (a file that does not load, a server's Content-Security-Policy that blocks
// one, a page opened from the disk, where browsers run no modules) it says which in one line
// instead of leaving the page waiting. status.js takes over
// the words once the page's modules run; the first reason given stays.
"use strict";
(function () {
  const root = document.documentElement;
  function stop(text) {
    if (root.dataset.state === "error") return;
    root.dataset.state = "error";
    const show = () => {
      document.getElementById("message").textContent = text;
      document.getElementById("canvas").style.visibility = "hidden";
    };
    if (document.readyState === "loading") document.addEventListener("DOMContentLoaded", show);
    else show();
  }
  if (location.protocol === "file:") {
    stop("This page must come from a web server: serve its folder (e.g. python3 -m http.server -d build-web).");
    return;
  }
  // A script, style sheet or picture of the page's own that did not load.
  window.addEventListener("error", (e) => {
    const element = e.target;
    if (element === window || !element.tagName) return;
    const file = element.getAttribute("src") || element.getAttribute("href");
    if (/^(SCRIPT|LINK)$/.test(element.tagName) && file) stop(`Could not load ${file}.`);
  }, true);
  // What the server's policy does not let the page load or run.
  document.addEventListener("securitypolicyviolation", (e) => {
    if (e.disposition !== "enforce") return;
    const what = /^(inline|eval|wasm-eval)$/.test(e.blockedURI) || !e.blockedURI
      ? `an ${e.blockedURI || "inline"} ${e.effectiveDirective.replace(/-src.*/, "")}`
      : e.blockedURI.replace(location.href.replace(/[^/]*$/, ""), "");
    stop(`The server's Content-Security-Policy (${e.effectiveDirective}) blocked ${what}.`);
  });
})();

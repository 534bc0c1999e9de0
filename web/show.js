// The show as the controls drive it: one small interface over the program's exports, so that
// keys, a hidden tab or a control bar all play, pause and seek the same way. The program keeps
// picture and music together through every call.
export class Show {
  constructor(Module) {
    this.Module = Module;
    this.started = false;
  }

  // Starts the show at show time ms; once only.
  start(ms) {
    if (this.started) return;
    this.started = true;
    this.Module._web_start(ms);
  }

  // Where the show stands, in ms; -1 before it starts.
  time() { return this.Module._web_time(); }

  // Show time runs: neither paused nor held at the end, as the program's show clock says.
  playing() { return this.started && this.Module._web_playing() === 1; }

  play() { if (this.started && !this.playing()) this.Module._web_toggle_pause(); }
  pause() { if (this.playing()) this.Module._web_toggle_pause(); }
  toggle() { if (this.started) this.Module._web_toggle_pause(); }
  // Jumps by ms, or to show time ms; playing or paused, as before.
  jump(by) { if (this.started) this.Module._web_jump(by); }
  seek(ms) { if (this.started) this.Module._web_jump(ms - this.time()); }

  // The scenes, from the program's scene table: [{name, first, last, title}] in show order, in
  // ms, the title as a viewer reads it ("Lorenz attractor").
  scenes() {
    return this.Module.UTF8ToString(this.Module._web_scenes()).trim().split("\n").map((line) => {
      const [name, first, last, ...title] = line.split(" ");
      return {name, first: Number(first), last: Number(last), title: title.join(" ")};
    });
  }

  // The show's last moment, in ms.
  length() { return this.Module._web_end(); }

  // Saves the frame on screen as a PNG file (Module.saveFrame).
  saveFrame() { if (this.started) this.Module._web_save_frame(); }
}

#pragma once
// The process's graphical application object. Text measuring and rendering,
// fonts and (later) windows need one; the drawing layer creates it on first use
// when the program has not made one yet. Everything here runs on the thread that
// first asks for the application (the user-interface thread).

namespace plat {

// The drawing layer calls this before it makes bitmaps, metafiles or fonts, so
// that every image takes its resolution from the same screen. A program that
// wants the application object on its main thread calls it there first.
//
// Creates the process's application object when none exists yet. Without a
// display (no DISPLAY and no WAYLAND_DISPLAY) and without an explicit choice in
// QT_QPA_PLATFORM, the off-screen platform is used, so drawing works headless.
// Returns true when an application object exists afterwards.
bool EnsureGuiApplication();

// True when the process has an application object.
bool HasGuiApplication();

// Destroys the application object made by EnsureGuiApplication, with the
// windows and objects still waiting for deletion. A program calls it at the
// end of main, after its last window: the toolkit's own process-wide objects
// are destroyed after main returns, and the application object must go while
// they still exist (destroying it later, at exit, fails inside the toolkit
// once a message box or a file dialog was shown on a display). Without the
// call the application object is destroyed at exit.
void EndGuiApplication();

}  // namespace plat

// Starting and stopping playback. Every place that plays or stops (the File
// menu's "Play / Stop", Space in the view, Space in the automation panel and
// the oscilloscope, the top bar's play and stop buttons) goes through
// RunTransport; they differ only in the ways the variants below name.
//
// Nothing here drives the engine: a stop writes the stop request (1) and a
// start the start request (-1) into g_engineReset, which the engine serves at
// the start of its next block. In "Free audiodev when stopped" mode a stop also
// mutes the master and leaves the device release to the view's timer, and a
// start opens the device again (and is ignored while a release is pending).
#pragma once

#include <functional>

enum class TransportCommand {
    kMenuPlayStop,     // File menu: stop, or play the song from position 0 without loop
    kSpace,            // Space in the view: stop, or play from the order-list cursor
    kToolWindowSpace,  // Space in a tool window: as kSpace, the top bar redrawn later
    kPlayButton,       // top bar's play button: starts only while not playing, never stops
    kStopButton,       // top bar's stop button: the stop rule always
};

// Runs the command. repaintTopBar redraws the view's top bar (the tool windows'
// variant requests the deferred redraw instead and ignores it).
void RunTransport(TransportCommand command, const std::function<void()>& repaintTopBar);

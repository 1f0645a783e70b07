#pragma once
// What a program showing books in WebEngine settles before its application
// object exists.
namespace quire::player {

// Chromium refuses to start its sandbox as root; without this the program
// would not start at all for root (containers, kiosks).
void allowRunningAsRoot();

// Neither a display nor a Qt platform named: Qt's default platform would
// abort the whole process.
bool noDisplay();

// All of the above, then offscreen when there is no display, and the shared
// graphics contexts WebEngine needs. True when there is no display.
bool prepareApplication();

// False on the offscreen and minimal platforms, where no one sees a dialog.
bool canShowDialogs();

} // namespace quire::player

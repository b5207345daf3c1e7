#pragma once

// Tells the user when a record container could not get memory: a message box
// owned by no window, with the system's default caption and an error icon.
// Installed once for the whole program, before anything is loaded.
void InstallAllocationMessage();

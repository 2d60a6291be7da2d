#pragma once
// Track bar, progress bar, panel, frame and the modal input and message boxes.
// Included by Inc/GUI.hpp; not meant to be included on its own.

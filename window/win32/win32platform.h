// SPDX-License-Identifier: MIT
#pragma once

// The Win32 backend of the window layer. Its header names no Windows type: a
// program picks the backend here and hands it to startRuntime.

class Platform;
class PictureReader;

// The one Win32 platform of the process. start() initialises OLE and the
// common controls for the calling thread; shutDown releases them again.
Platform &win32Platform();

// The system's decoders (Windows Imaging Component) for the picture formats
// the layer leaves to the toolkit: JPEG, BMP, icons, cursors and GIF, for
// decodePicture. COM must be initialised on the calling thread.
PictureReader &win32PictureReader();

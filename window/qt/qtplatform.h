// SPDX-License-Identifier: MIT
#pragma once

// The Qt backend of the window layer. Its header names no Qt type: a
// program picks the backend here and hands it to startRuntime.

class Platform;
class PictureReader;

// The one Qt platform of the process. It makes the QApplication when the
// program has none, and ends it again at shutdown.
Platform &qtPlatform();

// Qt's readers for the picture formats the layer leaves to the toolkit
// (BMP, icons, cursors, GIF), for decodePicture.
PictureReader &qtPictureReader();

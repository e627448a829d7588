// Picture files into screen-compatible GDI bitmaps, at the picture's natural size in screen
// pixels, through the platform's OLE picture loader. The splash background is read this way.
// Failures answer 0 and set the thread's last-error code (see each function).
#pragma once
#include "platform/olectl.h"
#include "platform/windows.h"

// The picture file at path as a bitmap the caller owns (DeleteObject), or 0 with last error
// ERROR_NOT_ENOUGH_MEMORY (no memory for the wide path), ERROR_FILE_NOT_FOUND (missing file, not
// a picture, a null path, or any other loader failure), or what PictureToBitmap set.
// The wide path buffer, the screen context and the picture object are released on every path.
HBITMAP LoadPictureBitmap(LPCSTR path);
// The picture rendered upright into a new bitmap of its size in screen pixels; does not release
// the picture. 0 with ERROR_INVALID_PARAMETER for a null picture, with Render's result code as
// the last error when rendering fails, and with the last error untouched when no memory context
// or bitmap can be made.
HBITMAP PictureToBitmap(IPicture* picture);

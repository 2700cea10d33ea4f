// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <cstdint>

#include <QByteArrayView>
#include <QImage>
#include <QString>

// The picture formats a picture box recognises from a block's first bytes.
enum class PictureFormat { none, jpeg, bmp, icon, cursor, gif, pcx8, pcx1 };

// Pictures beyond these bounds are refused from their header alone, before
// anything is allocated for their pixels: a damaged or hostile file must not
// be able to ask for gigabytes. The byte bound counts 4 bytes a pixel.
inline constexpr int maxPictureSide = 16384;
inline constexpr std::int64_t maxPictureBytes = std::int64_t(64) * 1024 * 1024;

// True when a picture of this size may be decoded.
bool pictureSizeAllowed(std::int64_t width, std::int64_t height);

// The format from the first six bytes; fewer than six bytes is no picture.
PictureFormat sniffPictureFormat(const unsigned char *data, std::size_t size);

// The picture in a block, or a null image when the block is unrecognised,
// too large or fails to decode. Reports nothing. JPEG pictures come back as
// 24-bit colour, with the text of their first comment (see
// pictureCommentText) under pictureCommentKey; other formats carry none.
QImage decodePicture(const unsigned char *data, std::size_t size);

// The image text that holds a picture's comment: what the card shows, in
// words, for a screen reader ("红桃 7").
inline constexpr char pictureCommentKey[] = "Comment";

// A comment comes from the file and is untrusted. Only its first bytes are
// kept, and its text is bounded, so that a hostile file can neither hold
// much memory nor flood a screen reader.
inline constexpr int maxPictureCommentBytes = 4096;
inline constexpr int maxPictureCommentLength = 200; // UTF-16 units

// A comment's bytes as text: UTF-8 when they are valid UTF-8 (what our card
// generator writes), else GBK, the code page of the game's own texts, as
// older card sets may carry, converted with iconv, bytes that are no GBK
// becoming U+FFFD. Control and format characters are dropped, white space
// runs become one space, the ends are trimmed, and the text is cut to
// maxPictureCommentLength without splitting a character.
QString pictureCommentText(QByteArrayView bytes);

// Writes an icon as a PNG file with alpha, for the page's home-screen icons.
// The pixels are deflated by a small encoder of its own (no zlib): each row's
// bytes less those of the pixel before (PNG's Sub filter), then runs of a
// repeated byte as back-references, which is where an icon's flat tile and
// transparent corners go.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "icon/icon_image.h"

// The PNG file's bytes.
std::vector<std::uint8_t> png_bytes(const IconImage& icon);

// Throws std::runtime_error when the file cannot be written.
void write_png(const std::string& path, const IconImage& icon);

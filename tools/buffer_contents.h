// A buffer's contents as text and back: dumps with one line per row (top row
// first, hex words of the buffer's pixel size), a hash that names the contents,
// and filling a buffer from a value or from such rows.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/zarnik11.h"

// "" for an empty buffer; otherwise one line per row, each ending in a newline.
std::string dump_rows(const ZT_Shared_Image& buffer);
// 64-bit FNV-1a over the size, the format and the pixels row by row (padding
// excluded), as 16 hex digits; "none" for an empty buffer.
std::string content_hash(const ZT_Shared_Image& buffer);

// Sets every pixel to value (its low bytes for 8- and 16-bit buffers).
void fill_buffer(const ZT_Shared_Image& buffer, uint32_t value);
// Sets the pixels from rows as dump_rows writes them.  Throws std::runtime_error
// when the number of rows or of words in a row does not match the buffer.
void set_buffer_rows(const ZT_Shared_Image& buffer, const std::vector<std::string>& rows);

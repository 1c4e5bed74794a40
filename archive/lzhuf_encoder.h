#pragma once
// LZHUF encoder for the packager: makes the headerless stream that
// LzhUnpack decodes, with the same ring, lengths, Huffman model and position
// code. Portable; no file access.
#include <cstddef>
#include <vector>

// Called now and then with the input bytes done so far and the total.
typedef void (*LzhPackProgress)(std::size_t done, std::size_t total, void* context);

// Compresses data[0..size). LzhUnpack(size, ...) gives back exactly these
// bytes: the last item never runs past the end.
std::vector<unsigned char> LzhPack(const unsigned char* data, std::size_t size,
                                   LzhPackProgress progress = nullptr, void* context = nullptr);

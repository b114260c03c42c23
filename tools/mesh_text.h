// Reading the words of a text mesh file, with the file and line in every error.
#pragma once

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <istream>
#include <string>
#include <string_view>
#include <vector>

#include "tools/mesh.h"

// "file:line: reason".
inline Mesh_Error mesh_error(const std::string& path, std::size_t line, const std::string& reason) {
  return Mesh_Error(path + ":" + std::to_string(line) + ": " + reason);
}

// A coordinate: a decimal number taking the whole word.  Numbers beyond the
// float range become infinities (the faces that use them are reported and left
// out when the mesh is prepared); NaN is refused, since it has no position at
// all.  Answers "" and sets out, or says why the word is no coordinate.
inline std::string read_coordinate(std::string_view word, float& out) {
  const std::string text(word);
  char* end = nullptr;
  errno = 0;
  const float v = std::strtof(text.c_str(), &end);
  if (text.empty() || end != text.c_str() + text.size())
    return "\"" + text + "\" is not a number";
  if (std::isnan(v)) return "\"" + text + "\" is not a coordinate (NaN)";
  out = v;
  return "";
}

// The words of a line, separated by blanks, up to a '#' comment.
template <typename F>
void for_each_word(std::string_view line, F&& f) {
  line = line.substr(0, line.find('#'));
  std::size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r')) ++i;
    const std::size_t start = i;
    while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r') ++i;
    if (i > start) f(line.substr(start, i - start));
  }
}

// Every line of a text mesh that has words: f(words, line number), numbered
// from 1, blank and comment-only lines passed over.
template <typename F>
void for_each_line_of_words(std::istream& in, F&& f) {
  std::string text;
  std::vector<std::string_view> words;
  for (std::size_t line = 1; std::getline(in, text); ++line) {
    words.clear();
    for_each_word(text, [&](std::string_view w) { words.push_back(w); });
    if (!words.empty()) f(words, line);
  }
}
